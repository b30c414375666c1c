/*
 * GeneralizedTime text: YYYYMMDDHH[MM[SS[.f]]][Z|+-HH[MM]] read into the
 * fields and written back from them (DER rules: X.690 11.7, always seconds
 * and 'Z').
 */
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "ASN1CGeneralizedTime.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/* Two digits; the caller has checked both. */
short twoDigits(const char* p) { return static_cast<short>((p[0] - '0') * 10 + (p[1] - '0')); }

/* Reads two digits at *p into value and moves past them. */
bool readTwoDigits(const char*& p, short& value) {
   if (!isDigit(p[0]) || !isDigit(p[1])) return false;
   value = twoDigits(p);
   p += 2;
   return true;
}

}

ASN1CGeneralizedTime::ASN1CGeneralizedTime(ASN1MessageBufferIF& msgBuf, const char*& text,
                                           ASN1BOOL useDerRules)
   : ASN1CTime(msgBuf, text, useDerRules) {}

ASN1CGeneralizedTime::ASN1CGeneralizedTime(ASN1MessageBufferIF& msgBuf, char*& text,
                                           int bufSize, ASN1BOOL useDerRules)
   : ASN1CTime(msgBuf, text, bufSize, useDerRules) {}

ASN1CGeneralizedTime::ASN1CGeneralizedTime(ASN1Context* context, const char*& text,
                                           ASN1BOOL useDerRules)
   : ASN1CTime(context, text, useDerRules) {}

ASN1CGeneralizedTime::ASN1CGeneralizedTime(ASN1Context* context, char*& text, int bufSize,
                                           ASN1BOOL useDerRules)
   : ASN1CTime(context, text, bufSize, useDerRules) {}

ASN1CGeneralizedTime::ASN1CGeneralizedTime(const char*& text, ASN1BOOL useDerRules)
   : ASN1CTime(text, useDerRules) {}

ASN1CGeneralizedTime::ASN1CGeneralizedTime(char*& text, int bufSize, ASN1BOOL useDerRules)
   : ASN1CTime(text, bufSize, useDerRules) {}

/* Text that does not start with a date (empty text, for one) leaves the
   fields unset and is no error. Every field is two digits (the year four).
   A fraction is read in full and kept in tenths, cut rather than rounded so
   that the time never moves past the second it names. */
int ASN1CGeneralizedTime::parseFields(const char* text, Fields& f) const {
   f = unsetFields(0);
   int year = 0, month = 0, day = 0;
   if (text == nullptr || std::sscanf(text, "%4d%2d%2d", &year, &month, &day) != 3) {
      return RTS_OK;
   }
   for (int i = 0; i < 8; i++) {
      if (!isDigit(text[i])) return RTS_BAD_TIME;
   }
   if (month < 1 || month > 12 || day < 1 || day > daysOf(year, month)) return RTS_BAD_TIME;
   f.year = static_cast<short>(year);
   f.month = static_cast<short>(month);
   f.day = static_cast<short>(day);

   const char* p = text + 8;
   if (!readTwoDigits(p, f.hour)) return RTS_BAD_TIME;
   bool haveSeconds = false;
   if (isDigit(*p)) {
      if (!readTwoDigits(p, f.minute)) return RTS_BAD_TIME;
      if (isDigit(*p)) {
         if (!readTwoDigits(p, f.second)) return RTS_BAD_TIME;
         haveSeconds = true;
      }
   }
   if (f.hour > 23 || f.minute > 59 || f.second > 59) return RTS_BAD_TIME;
   if (mDerRules && !haveSeconds) return RTS_BAD_TIME;

   if (*p == '.' || (*p == ',' && !mDerRules)) {
      if (!haveSeconds || !isDigit(p[1])) return RTS_BAD_TIME;
      f.fraction = p[1] - '0';
      for (p += 2; isDigit(*p);) p++;
   }

   if (*p == 'Z') {
      f.utc = 1;
      return p[1] == '\0' ? RTS_OK : RTS_BAD_TIME;
   }
   if (mDerRules) return RTS_BAD_TIME;
   if ((*p == '+' || *p == '-') && isDigit(p[1])) {
      bool negative = *p == '-';
      p++;
      if (!readTwoDigits(p, f.diffHour) || f.diffHour > 12) return RTS_BAD_TIME;
      if (isDigit(*p) && (!readTwoDigits(p, f.diffMin) || f.diffMin > 59)) return RTS_BAD_TIME;
      if (*p != '\0') return RTS_BAD_TIME;
      if (negative) {
         f.diffHour = static_cast<short>(-f.diffHour);
         f.diffMin = static_cast<short>(-f.diffMin);
      }
   }
   return RTS_OK;
}

int ASN1CGeneralizedTime::parseString(const char* text) {
   Fields fields;
   int stat = parseFields(text, fields);
   if (stat != RTS_OK) return fail(stat);
   mFields = fields;
   mParsed = 1;
   return text != *mppTimeStr ? rebuildText() : RTS_OK;
}

/* UTC output (the UTC flag or DER rules) converts a zoned time to UTC first
   and always carries minutes and seconds; a local time leaves out trailing
   zero minutes and seconds. */
int ASN1CGeneralizedTime::compileString() {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   Fields f = mFields;
   if (f.year < 0 || f.month < 1 || f.day < 1 || f.hour < 0) return fail(RTS_BAD_TIME);
   bool utcOut = f.utc || mDerRules;
   if (utcOut && (f.diffHour != 0 || f.diffMin != 0)) {
      addMilliseconds(-(60L * f.diffHour + f.diffMin) * 60000L, f.year, f.month, f.day, f.hour,
                      f.minute, f.second, f.fraction);
   }
   if (f.year < 0 || f.year > 9999) return fail(RTS_BAD_TIME);

   char text[kTextBufSize];
   size_t size = sizeof text;
   int n = std::snprintf(text, size, "%.4d%.2d%.2d%.2d", f.year, f.month, f.day, f.hour);
   bool withSeconds = utcOut || f.second != 0 || f.fraction != 0;
   if (withSeconds || f.minute != 0) n += std::snprintf(text + n, size - n, "%.2d", f.minute);
   if (withSeconds) n += std::snprintf(text + n, size - n, "%.2d", f.second);
   if (f.fraction > 0) n += std::snprintf(text + n, size - n, ".%d", f.fraction);
   if (utcOut) {
      n += std::snprintf(text + n, size - n, "Z");
   }
   else if (f.diffHour != 0 || f.diffMin != 0) {
      char sign = (f.diffHour < 0 || f.diffMin < 0) ? '-' : '+';
      n += std::snprintf(text + n, size - n, "%c%.2d", sign, std::abs(f.diffHour));
      if (f.diffMin != 0) std::snprintf(text + n, size - n, "%.2d", std::abs(f.diffMin));
   }
   storeText(text);
   return RTS_OK;
}

int ASN1CGeneralizedTime::setTime(long time, ASN1BOOL useUTC) {
   std::time_t instant = static_cast<std::time_t>(time);
   std::tm local;
   if (localtime_r(&instant, &local) == nullptr || local.tm_year + 1900 < 0 ||
       local.tm_year + 1900 > 9999) {
      return fail(RTS_BAD_TIME);
   }
   Fields f = unsetFields(0);
   f.year = static_cast<short>(local.tm_year + 1900);
   f.month = static_cast<short>(local.tm_mon + 1);
   f.day = static_cast<short>(local.tm_mday);
   f.hour = static_cast<short>(local.tm_hour);
   f.minute = static_cast<short>(local.tm_min);
   f.second = static_cast<short>(local.tm_sec > 59 ? 59 : local.tm_sec);
   if (useUTC || mDerRules) {
      /* The local offset: local wall time minus UTC wall time, both read as
         local time under the same daylight-saving state. */
      std::tm utc;
      gmtime_r(&instant, &utc);
      utc.tm_isdst = local.tm_isdst;
      std::tm localCopy = local;
      long offset = static_cast<long>(std::difftime(std::mktime(&localCopy), std::mktime(&utc)));
      f.diffHour = static_cast<short>(offset / 3600);
      f.diffMin = static_cast<short>(offset % 3600 / 60);
      f.utc = 1;
   }
   mFields = f;
   mParsed = 1;
   return rebuildText();
}

int ASN1CGeneralizedTime::getCentury() {
   int year = getYear();
   return year < 0 ? year : year / 100;
}

int ASN1CGeneralizedTime::setCentury(int century) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (century < 0 || century > 99) return fail(RTS_BAD_TIME);
   return setYear(century * 100 + (mFields.year >= 0 ? mFields.year % 100 : 0));
}
