/*
 * Time values over a time text: ASN1CTime holds the broken-down fields and
 * what every time type shares (validated setters, comparisons, arithmetic on
 * the proleptic Gregorian calendar); the text's own form is read and written
 * by a subclass (ASN1CGeneralizedTime).
 *
 * The object works on the caller's text pointer. The fields are parsed from
 * the text lazily, on the first getter or setter; every setter validates,
 * stores the field and rebuilds the text. Text is written into the caller's
 * buffer when it has room (capacity of 30 or more); otherwise the caller's
 * pointer is redirected to a buffer inside the object, so that text lives as
 * long as the object. Failures are recorded in the context and returned.
 */
#ifndef BLOBXML_ASN1CTIME_H
#define BLOBXML_ASN1CTIME_H

#include <cstddef>

#include "ASN1CType.h"

/* Smallest caller's buffer that the text is written into. */
#define ASN1CTIME_MIN_BUFSIZE 30

class ASN1CTime : public ASN1CType {
public:
   /* Days of each month in a common year; index 1 is January. */
   static const short daysInMonth[13];

   virtual ~ASN1CTime() {}

   ASN1CTime(const ASN1CTime&) = delete;
   /* Takes the other time's fields (parsing its text first when needed) and
      rebuilds this object's text under this object's rules. */
   ASN1CTime& operator=(ASN1CTime& other);

   /* Getters: the field, or the failure status of parsing the text. An unset
      year, month, day or hour reads -3. */
   virtual int getYear();
   virtual int getMonth();
   virtual int getDay();
   virtual int getHour();
   virtual int getMinute();
   virtual int getSecond();
   /* Tenths of a second. */
   virtual int getFraction();
   virtual int getDiffHour();
   virtual int getDiffMinute();
   /* Zone offset in minutes: 60 x hours + minutes. */
   virtual int getDiff();
   virtual int getUTC();
   /* Seconds since the epoch; -1 when the time is unset or invalid. */
   virtual long getTime();

   /* Setters: 0 or RTS_BAD_TIME (-31). */
   /* Ignored under DER rules, which always write UTC. */
   virtual int setUTC(ASN1BOOL utc);
   virtual int setYear(int year);
   virtual int setMonth(int month);
   virtual int setDay(int day);
   virtual int setHour(int hour);
   virtual int setMinute(int minute);
   virtual int setSecond(int second);
   /* Tenths of a second; not range-checked. */
   virtual int setFraction(int fraction);
   /* The time as local time; with useUTC or DER rules the local zone offset
      is kept too, so that the text is written in UTC. */
   virtual int setTime(long time, ASN1BOOL useUTC) = 0;
   /* -12 to 12; the zone minutes keep their size and take the sign. */
   virtual int setDiffHour(int hours);
   /* hours -12 to 12, |minutes| below 60; minutes take the sign of hours. */
   virtual int setDiff(int hours, int minutes);
   /* |minutes| at most 720. */
   virtual int setDiff(int minutes);

   /* Reads the fields from text; text other than the object's own becomes
      the object's text (rebuilt from the fields). */
   virtual int parseString(const char* text) = 0;
   /* Unsets the fields and empties the text. */
   virtual void clear();
   /* Negative, 0 or positive as this time is before, at or after the other:
      the difference in days, or within the same day in milliseconds, after
      both are brought to UTC by their zone offsets. */
   virtual int equals(ASN1CTime& other);

   virtual bool operator==(ASN1CTime& other);
   virtual bool operator!=(ASN1CTime& other);
   virtual bool operator>(ASN1CTime& other);
   virtual bool operator<(ASN1CTime& other);
   virtual bool operator>=(ASN1CTime& other);
   virtual bool operator<=(ASN1CTime& other);

   /* Writes the text from the fields. */
   virtual int compileString() = 0;

   /* The text rebuilt from the fields (empty while year, month, day or hour
      is unset): copied when shorter than size (else null), as a pointer
      (null on failure), or its length (or the failure status). */
   char* getTimeString(char* buffer, size_t size);
   const char* getTimeStringPtr();
   int getTimeStringLen();

   /* Adds ms milliseconds to the time (fraction in tenths), carrying whole
      days into the date; below 100 ms the result is cut. */
   static void addMilliseconds(long ms, short& year, short& month, short& day, short& hour,
                               short& minute, short& second, int& fraction);
   /* Adds days (negative ones too) to the date. */
   static void addDays(long days, short& year, short& month, short& day);

protected:
   /* Unset year, month, day or hour. */
   static const short kUnset = -3;

   struct Fields {
      short year, month, day, hour, minute, second, diffHour, diffMin;
      int fraction;
      ASN1BOOL utc;
   };

   /* Text the caller keeps constant (capacity 0) or a buffer of bufSize
      octets. UTC starts set under DER rules. */
   ASN1CTime(ASN1MessageBufferIF& msgBuf, const char*& text, ASN1BOOL useDerRules);
   ASN1CTime(ASN1MessageBufferIF& msgBuf, char*& text, int bufSize, ASN1BOOL useDerRules);
   ASN1CTime(ASN1Context* context, const char*& text, ASN1BOOL useDerRules);
   ASN1CTime(ASN1Context* context, char*& text, int bufSize, ASN1BOOL useDerRules);
   ASN1CTime(const char*& text, ASN1BOOL useDerRules);
   ASN1CTime(char*& text, int bufSize, ASN1BOOL useDerRules);

   /* Gregorian: divisible by 4, centuries only when divisible by 400. */
   static bool isLeapYear(int year);
   /* Days of the month; an unset month allows 31, an unset year 29 for
      February. */
   static int daysOf(int year, int month);
   static Fields unsetFields(ASN1BOOL utc);

   /* Day number of the date (0 is 1970-01-01). */
   long getDaysNum();
   /* Milliseconds of the time of day, less the zone offset. */
   long getMillisNum();

   /* Parses the object's own text unless the fields already reflect it. */
   int ensureParsed();
   /* compileString, or the empty text while a date or hour field is unset. */
   int rebuildText();
   /* Makes text (at most kTextBufSize - 1 characters) the object's text. */
   void storeText(const char* text);
   int fail(int status);

   static const int kTextBufSize = 40;

   Fields mFields;
   ASN1BOOL mParsed;
   ASN1BOOL mDerRules;
   const char** mppTimeStr;
   int mTimeStrSize;
   char mTimeStrBuf[kTextBufSize];

private:
   /* Binding to the caller's text slot, the test that year, month, day and
      hour are set, and storing one field after its range check. */
   void bindText(const char** text, int bufSize, ASN1BOOL useDerRules);
   bool dateAndHourSet() const;
   int storeField(short& field, int value);
};

#endif
