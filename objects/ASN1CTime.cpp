/*
 * Time values: fields, validated setters, comparisons and calendar
 * arithmetic shared by the time types.
 */
#include "ASN1CTime.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "rtContext.h"

const short ASN1CTime::daysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

namespace {

const long long kMillisPerDay = 86400000LL;

long long floorDiv(long long a, long long b) {
   long long q = a / b;
   return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

/* Day number of a date, 0 being 1970-01-01. Years run from March so that the
   leap day ends them; a 400-year cycle has 146097 days. A month outside 1 to
   12 carries into the year. */
long long daysFromCivil(long long year, long long month, long long day) {
   year += floorDiv(month - 1, 12);
   month -= 12 * floorDiv(month - 1, 12);
   if (month <= 2) year--;
   long long era = floorDiv(year, 400);
   long long yearOfEra = year - era * 400;
   long long monthFromMarch = (month + 9) % 12;
   long long dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
   long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
   return era * 146097 + dayOfEra - 719468;
}

/* The inverse, through 400-, 100-, 4- and 1-year cycles. */
void civilFromDays(long long dayNumber, long long& year, int& month, int& day) {
   dayNumber += 719468;
   long long era = floorDiv(dayNumber, 146097);
   long long rest = dayNumber - era * 146097;
   long long centuries = rest / 36524;
   if (centuries == 4) centuries = 3; /* the last day of the cycle */
   rest -= centuries * 36524;
   long long quads = rest / 1461;
   rest -= quads * 1461;
   long long years = rest / 365;
   if (years == 4) years = 3; /* the leap day */
   rest -= years * 365;
   year = era * 400 + centuries * 100 + quads * 4 + years;
   long long monthFromMarch = (5 * rest + 2) / 153;
   day = static_cast<int>(rest - (153 * monthFromMarch + 2) / 5 + 1);
   month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
   if (month <= 2) year++;
}

}

/* ---- construction ------------------------------------------------------- */

ASN1CTime::ASN1CTime(ASN1MessageBufferIF& msgBuf, const char*& text, ASN1BOOL useDerRules)
   : ASN1CType(msgBuf) {
   bindText(&text, 0, useDerRules);
}

ASN1CTime::ASN1CTime(ASN1MessageBufferIF& msgBuf, char*& text, int bufSize,
                     ASN1BOOL useDerRules)
   : ASN1CType(msgBuf) {
   bindText(const_cast<const char**>(&text), bufSize, useDerRules);
}

ASN1CTime::ASN1CTime(ASN1Context* context, const char*& text, ASN1BOOL useDerRules)
   : ASN1CType(context) {
   bindText(&text, 0, useDerRules);
}

ASN1CTime::ASN1CTime(ASN1Context* context, char*& text, int bufSize, ASN1BOOL useDerRules)
   : ASN1CType(context) {
   bindText(const_cast<const char**>(&text), bufSize, useDerRules);
}

ASN1CTime::ASN1CTime(const char*& text, ASN1BOOL useDerRules) : ASN1CType() {
   bindText(&text, 0, useDerRules);
}

ASN1CTime::ASN1CTime(char*& text, int bufSize, ASN1BOOL useDerRules) : ASN1CType() {
   bindText(const_cast<const char**>(&text), bufSize, useDerRules);
}

void ASN1CTime::bindText(const char** text, int bufSize, ASN1BOOL useDerRules) {
   mDerRules = useDerRules ? 1 : 0;
   mFields = unsetFields(mDerRules);
   mParsed = 0;
   mppTimeStr = text;
   mTimeStrSize = bufSize > 0 ? bufSize : 0;
   mTimeStrBuf[0] = '\0';
}

ASN1CTime& ASN1CTime::operator=(ASN1CTime& other) {
   if (&other == this) return *this;
   if (other.ensureParsed() != RTS_OK) {
      fail(RTS_BAD_TIME);
      return *this;
   }
   mFields = other.mFields;
   if (mDerRules) mFields.utc = 1;
   mParsed = 1;
   rebuildText();
   return *this;
}

/* ---- helpers ------------------------------------------------------------ */

ASN1CTime::Fields ASN1CTime::unsetFields(ASN1BOOL utc) {
   Fields fields;
   fields.year = fields.month = fields.day = fields.hour = kUnset;
   fields.minute = fields.second = fields.diffHour = fields.diffMin = 0;
   fields.fraction = 0;
   fields.utc = utc;
   return fields;
}

bool ASN1CTime::isLeapYear(int year) {
   return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int ASN1CTime::daysOf(int year, int month) {
   if (month < 1 || month > 12) return 31;
   if (month == 2 && (year < 0 || isLeapYear(year))) return 29;
   return daysInMonth[month];
}

int ASN1CTime::fail(int status) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt != nullptr) LOG_ASN1ERR(pctxt, status);
   return status;
}

int ASN1CTime::ensureParsed() { return mParsed ? RTS_OK : parseString(*mppTimeStr); }

bool ASN1CTime::dateAndHourSet() const {
   return mFields.year >= 0 && mFields.month >= 1 && mFields.day >= 1 && mFields.hour >= 0;
}

int ASN1CTime::rebuildText() {
   if (dateAndHourSet()) return compileString();
   storeText("");
   return RTS_OK;
}

void ASN1CTime::storeText(const char* text) {
   size_t length = std::strlen(text);
   char* target = const_cast<char*>(*mppTimeStr);
   bool callerHasRoom = mTimeStrSize >= ASN1CTIME_MIN_BUFSIZE && target != nullptr &&
                        target != mTimeStrBuf && length < static_cast<size_t>(mTimeStrSize);
   if (!callerHasRoom) {
      target = mTimeStrBuf;
      *mppTimeStr = mTimeStrBuf;
   }
   std::memmove(target, text, length + 1);
}

/* ---- getters ------------------------------------------------------------ */

int ASN1CTime::getYear() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.year;
}

int ASN1CTime::getMonth() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.month;
}

int ASN1CTime::getDay() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.day;
}

int ASN1CTime::getHour() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.hour;
}

int ASN1CTime::getMinute() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.minute;
}

int ASN1CTime::getSecond() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.second;
}

int ASN1CTime::getFraction() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.fraction;
}

int ASN1CTime::getDiffHour() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.diffHour;
}

int ASN1CTime::getDiffMinute() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.diffMin;
}

int ASN1CTime::getDiff() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : 60 * mFields.diffHour + mFields.diffMin;
}

int ASN1CTime::getUTC() {
   int stat = ensureParsed();
   return stat != RTS_OK ? stat : mFields.utc;
}

/* A time with a zone or in UTC names one instant, computed exactly; a local
   time goes through the process's time zone. */
long ASN1CTime::getTime() {
   if (ensureParsed() != RTS_OK) return -1;
   if (!dateAndHourSet()) {
      fail(RTS_BAD_TIME);
      return -1;
   }
   const Fields& f = mFields;
   if (f.utc || f.diffHour != 0 || f.diffMin != 0) {
      long long seconds = daysFromCivil(f.year, f.month, f.day) * 86400LL + f.hour * 3600LL +
                          f.minute * 60LL + f.second - 60LL * (60 * f.diffHour + f.diffMin);
      return static_cast<long>(seconds);
   }
   std::tm local = {};
   local.tm_year = f.year - 1900;
   local.tm_mon = f.month - 1;
   local.tm_mday = f.day;
   local.tm_hour = f.hour;
   local.tm_min = f.minute;
   local.tm_sec = f.second;
   local.tm_isdst = -1;
   return static_cast<long>(std::mktime(&local));
}

/* ---- setters ------------------------------------------------------------ */

int ASN1CTime::storeField(short& field, int value) {
   field = static_cast<short>(value);
   return rebuildText();
}

int ASN1CTime::setUTC(ASN1BOOL utc) {
   if (mDerRules) return RTS_OK;
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   mFields.utc = utc ? 1 : 0;
   return rebuildText();
}

int ASN1CTime::setYear(int year) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (year < 0 || year > 9999 || mFields.day > daysOf(year, mFields.month)) {
      return fail(RTS_BAD_TIME);
   }
   return storeField(mFields.year, year);
}

int ASN1CTime::setMonth(int month) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (month < 1 || month > 12 || mFields.day > daysOf(mFields.year, month)) {
      return fail(RTS_BAD_TIME);
   }
   return storeField(mFields.month, month);
}

int ASN1CTime::setDay(int day) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (day < 1 || day > daysOf(mFields.year, mFields.month)) return fail(RTS_BAD_TIME);
   return storeField(mFields.day, day);
}

int ASN1CTime::setHour(int hour) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (hour < 0 || hour > 23) return fail(RTS_BAD_TIME);
   return storeField(mFields.hour, hour);
}

int ASN1CTime::setMinute(int minute) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (minute < 0 || minute > 59) return fail(RTS_BAD_TIME);
   return storeField(mFields.minute, minute);
}

int ASN1CTime::setSecond(int second) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (second < 0 || second > 59) return fail(RTS_BAD_TIME);
   return storeField(mFields.second, second);
}

int ASN1CTime::setFraction(int fraction) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   mFields.fraction = fraction;
   return rebuildText();
}

int ASN1CTime::setDiffHour(int hours) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (hours < -12 || hours > 12) return fail(RTS_BAD_TIME);
   int minutes = std::abs(mFields.diffMin);
   mFields.diffHour = static_cast<short>(hours);
   if (hours != 0) mFields.diffMin = static_cast<short>(hours < 0 ? -minutes : minutes);
   return rebuildText();
}

int ASN1CTime::setDiff(int hours, int minutes) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (hours < -12 || hours > 12 || minutes <= -60 || minutes >= 60) return fail(RTS_BAD_TIME);
   if (hours != 0) minutes = hours < 0 ? -std::abs(minutes) : std::abs(minutes);
   mFields.diffHour = static_cast<short>(hours);
   mFields.diffMin = static_cast<short>(minutes);
   return rebuildText();
}

int ASN1CTime::setDiff(int minutes) {
   int stat = ensureParsed();
   if (stat != RTS_OK) return stat;
   if (minutes < -720 || minutes > 720) return fail(RTS_BAD_TIME);
   mFields.diffHour = static_cast<short>(minutes / 60);
   mFields.diffMin = static_cast<short>(minutes % 60);
   return rebuildText();
}

void ASN1CTime::clear() {
   mFields = unsetFields(mDerRules);
   storeText("");
   mParsed = 1;
}

/* ---- comparisons -------------------------------------------------------- */

long ASN1CTime::getDaysNum() {
   return static_cast<long>(daysFromCivil(mFields.year, mFields.month, mFields.day));
}

long ASN1CTime::getMillisNum() {
   const Fields& f = mFields;
   return 1000L * (3600L * f.hour + 60L * f.minute + f.second) + 100L * f.fraction -
          60000L * (60L * f.diffHour + f.diffMin);
}

int ASN1CTime::equals(ASN1CTime& other) {
   ensureParsed();
   other.ensureParsed();
   long long mine = getDaysNum() * kMillisPerDay + getMillisNum();
   long long theirs = other.getDaysNum() * kMillisPerDay + other.getMillisNum();
   long long dayDiff = floorDiv(mine, kMillisPerDay) - floorDiv(theirs, kMillisPerDay);
   if (dayDiff != 0) return static_cast<int>(dayDiff);
   long long msDiff = (mine - floorDiv(mine, kMillisPerDay) * kMillisPerDay) -
                      (theirs - floorDiv(theirs, kMillisPerDay) * kMillisPerDay);
   return static_cast<int>(msDiff);
}

bool ASN1CTime::operator==(ASN1CTime& other) { return equals(other) == 0; }
bool ASN1CTime::operator!=(ASN1CTime& other) { return equals(other) != 0; }
bool ASN1CTime::operator>(ASN1CTime& other) { return equals(other) > 0; }
bool ASN1CTime::operator<(ASN1CTime& other) { return equals(other) < 0; }
bool ASN1CTime::operator>=(ASN1CTime& other) { return equals(other) >= 0; }
bool ASN1CTime::operator<=(ASN1CTime& other) { return equals(other) <= 0; }

/* ---- text --------------------------------------------------------------- */

char* ASN1CTime::getTimeString(char* buffer, size_t size) {
   const char* text = getTimeStringPtr();
   if (buffer == nullptr || text == nullptr) return nullptr;
   size_t length = std::strlen(text);
   if (length >= size) return nullptr;
   std::memcpy(buffer, text, length + 1);
   return buffer;
}

const char* ASN1CTime::getTimeStringPtr() {
   int stat = ensureParsed();
   if (stat == RTS_OK) stat = rebuildText();
   return stat == RTS_OK ? *mppTimeStr : nullptr;
}

int ASN1CTime::getTimeStringLen() {
   const char* text = getTimeStringPtr();
   return text != nullptr ? static_cast<int>(std::strlen(text)) : RTS_BAD_TIME;
}

/* ---- arithmetic --------------------------------------------------------- */

void ASN1CTime::addMilliseconds(long ms, short& year, short& month, short& day, short& hour,
                                short& minute, short& second, int& fraction) {
   long long timeOfDay =
      1000LL * (3600LL * hour + 60LL * minute + second) + 100LL * fraction + ms;
   long long days = floorDiv(timeOfDay, kMillisPerDay);
   timeOfDay -= days * kMillisPerDay;
   if (days != 0) addDays(static_cast<long>(days), year, month, day);
   hour = static_cast<short>(timeOfDay / 3600000);
   minute = static_cast<short>(timeOfDay / 60000 % 60);
   second = static_cast<short>(timeOfDay / 1000 % 60);
   fraction = static_cast<int>(timeOfDay % 1000 / 100);
}

void ASN1CTime::addDays(long days, short& year, short& month, short& day) {
   long long newYear = 0;
   int newMonth = 0, newDay = 0;
   civilFromDays(daysFromCivil(year, month, day) + days, newYear, newMonth, newDay);
   year = static_cast<short>(newYear);
   month = static_cast<short>(newMonth);
   day = static_cast<short>(newDay);
}
