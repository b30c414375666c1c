// GeneralizedTime values: parsing with and without DER rules (leap years,
// zones, fractions, invalid fields), compiling (omitted fields, conversion
// to UTC), setters with validation, comparisons across zones, calendar
// arithmetic across month and year ends, the text buffers and time_t.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "ASN1CTime.h"
#include "rtContext.h"

namespace {

class TimeTest : public ::testing::Test {
protected:
   ASN1CtxtPtr context{new ASN1Context()};

   int errorStatus() { return context->getPtr()->errInfo.status; }
   void resetError() { rtErrReset(&context->getPtr()->errInfo); }
};

struct Expected {
   int year, month, day, hour, minute, second, fraction, utc, diffHour, diffMin;
};

void expectFields(ASN1CTime& t, const Expected& e) {
   EXPECT_EQ(t.getYear(), e.year);
   EXPECT_EQ(t.getMonth(), e.month);
   EXPECT_EQ(t.getDay(), e.day);
   EXPECT_EQ(t.getHour(), e.hour);
   EXPECT_EQ(t.getMinute(), e.minute);
   EXPECT_EQ(t.getSecond(), e.second);
   EXPECT_EQ(t.getFraction(), e.fraction);
   EXPECT_EQ(t.getUTC(), e.utc);
   EXPECT_EQ(t.getDiffHour(), e.diffHour);
   EXPECT_EQ(t.getDiffMinute(), e.diffMin);
}

/* ---- parsing and compiling ---------------------------------------------- */

struct ParseCase {
   const char* text;
   bool der;
   Expected fields;
   const char* compiled;
};

TEST_F(TimeTest, ValidTextsParseAndCompile) {
   const ParseCase cases[] = {
      {"20240229120000Z", true, {2024, 2, 29, 12, 0, 0, 0, 1, 0, 0}, "20240229120000Z"},
      {"20000229120000Z", true, {2000, 2, 29, 12, 0, 0, 0, 1, 0, 0}, "20000229120000Z"},
      {"2024010112", false, {2024, 1, 1, 12, 0, 0, 0, 0, 0, 0}, "2024010112"},
      {"202401011230", false, {2024, 1, 1, 12, 30, 0, 0, 0, 0, 0}, "202401011230"},
      {"20240101120005", false, {2024, 1, 1, 12, 0, 5, 0, 0, 0, 0}, "20240101120005"},
      {"20240101120000+0130", false, {2024, 1, 1, 12, 0, 0, 0, 0, 1, 30}, "2024010112+0130"},
      {"20240101121500-0530", false, {2024, 1, 1, 12, 15, 0, 0, 0, -5, -30},
       "202401011215-0530"},
      {"20240101120001+01", false, {2024, 1, 1, 12, 0, 1, 0, 0, 1, 0}, "20240101120001+01"},
      {"20240101120000.5Z", true, {2024, 1, 1, 12, 0, 0, 5, 1, 0, 0}, "20240101120000.5Z"},
      {"20240101120000.5Z", false, {2024, 1, 1, 12, 0, 0, 5, 1, 0, 0}, "20240101120000.5Z"},
      {"20240101120000,7", false, {2024, 1, 1, 12, 0, 0, 7, 0, 0, 0}, "20240101120000.7"},
      // More digits are read in full and cut to tenths.
      {"20240101120000.987654321Z", true, {2024, 1, 1, 12, 0, 0, 9, 1, 0, 0},
       "20240101120000.9Z"},
      {"20240101120000.05+02", false, {2024, 1, 1, 12, 0, 0, 0, 0, 2, 0}, "2024010112+02"},
      // UTC text always carries minutes and seconds.
      {"2024010112Z", false, {2024, 1, 1, 12, 0, 0, 0, 1, 0, 0}, "20240101120000Z"},
      // Any other character ends the text without a zone.
      {"20240101123000 local", false, {2024, 1, 1, 12, 30, 0, 0, 0, 0, 0}, "202401011230"},
      {"99991231235959Z", true, {9999, 12, 31, 23, 59, 59, 0, 1, 0, 0}, "99991231235959Z"},
      {"00000101000000Z", true, {0, 1, 1, 0, 0, 0, 0, 1, 0, 0}, "00000101000000Z"},
   };
   for (const ParseCase& c : cases) {
      SCOPED_TRACE(std::string(c.text) + (c.der ? " DER" : ""));
      const char* text = c.text;
      ASN1CGeneralizedTime t(context, text, c.der);
      expectFields(t, c.fields);
      EXPECT_EQ(text, c.text) << "parsing alone leaves the caller's text alone";
      EXPECT_STREQ(t.getTimeStringPtr(), c.compiled);
      EXPECT_STREQ(text, c.compiled);
   }
   EXPECT_EQ(errorStatus(), 0);
}

TEST_F(TimeTest, InvalidTextsAreBadTime) {
   struct Case {
      const char* text;
      bool der;
   };
   const Case cases[] = {
      {"20230229120000Z", false},       // 2023 is not a leap year
      {"21000229120000Z", false},       // nor is 2100
      {"20240431120000Z", false},       // April has 30 days
      {"20241301120000Z", false},       // month 13
      {"20240001120000Z", false},       // month 0
      {"20240100120000Z", false},       // day 0
      {"2024010124", false},            // hour 24
      {"202401011260", false},          // minute 60
      {"20240101120060", false},        // second 60
      {"2024010112", true},             // DER: no minutes, seconds or Z
      {"20240101120000", true},         // DER: no Z
      {"20240101120000+0130", true},    // DER: zones are not allowed
      {"20240101120000,5Z", true},      // DER: only '.'
      {"2024010112.5", false},          // fraction without seconds
      {"202401011230.5", false},        // fraction without seconds
      {"20240101120000.Z", false},      // mark without digits
      {"20240101120000Zx", false},      // Z must be last
      {"20240101120000+1300", false},   // zone hours above 12
      {"20240101120000+0160", false},   // zone minutes above 59
      {"20240101120000+1", false},      // zone hours take two digits
      {"20240101120000+0130x", false},  // nothing after the zone
      {"202401011", false},             // one hour digit
      {"2024011", false},               // short date
      {"2024010", false},               // short date
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.text) + (c.der ? " DER" : ""));
      resetError();
      const char* text = c.text;
      ASN1CGeneralizedTime t(context, text, c.der);
      EXPECT_EQ(t.getYear(), RTS_BAD_TIME);
      EXPECT_EQ(errorStatus(), RTS_BAD_TIME);
      EXPECT_EQ(t.setHour(1), RTS_BAD_TIME) << "setters parse first, and fail with it";
      EXPECT_EQ(t.getTimeStringPtr(), nullptr);
      EXPECT_EQ(text, c.text);
   }
}

TEST_F(TimeTest, TextWithoutADateLeavesTheFieldsUnset) {
   for (const char* start : {"", "abc"}) {
      const char* text = start;
      ASN1CGeneralizedTime t(context, text);
      expectFields(t, {-3, -3, -3, -3, 0, 0, 0, 0, 0, 0});
      EXPECT_EQ(t.compileString(), RTS_BAD_TIME);
      EXPECT_EQ(t.getTime(), -1);
   }
   const char* none = nullptr;
   ASN1CGeneralizedTime t(context, none);
   EXPECT_EQ(t.getYear(), -3);
}

TEST_F(TimeTest, ParseStringOfOtherTextBecomesTheObjectsText) {
   const char* text = "20240101120000Z";
   ASN1CGeneralizedTime t(context, text, true);
   EXPECT_EQ(t.parseString("20251231235959.25Z"), 0);
   EXPECT_STREQ(text, "20251231235959.2Z");
   EXPECT_EQ(t.getMonth(), 12);
   EXPECT_EQ(t.parseString("20251231"), RTS_BAD_TIME);
   EXPECT_EQ(t.getMonth(), 12) << "a failed parse keeps the fields";
   EXPECT_STREQ(text, "20251231235959.2Z");
}

/* ---- conversion to UTC -------------------------------------------------- */

TEST_F(TimeTest, ZonedTimesCompileToUtcWhenAsked) {
   struct Case {
      const char* text;
      const char* utc;
   };
   const Case cases[] = {
      {"20240101120000+0130", "20240101103000Z"},
      {"20240101003000+0100", "20231231233000Z"},
      {"20231231230000-0200", "20240101010000Z"},
      {"20240229233000-0045", "20240301001500Z"},
      {"20240301001500+0045", "20240229233000Z"},
      {"20240101120000.5+12", "20240101000000.5Z"},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      const char* text = c.text;
      ASN1CGeneralizedTime t(context, text);
      EXPECT_EQ(t.setUTC(1), 0);
      EXPECT_STREQ(text, c.utc);
      EXPECT_EQ(t.getUTC(), 1);
   }
}

TEST_F(TimeTest, DerRulesAlwaysWriteUtc) {
   const char* text = "20240101120000Z";
   ASN1CGeneralizedTime t(context, text, true);
   EXPECT_EQ(t.setUTC(0), 0) << "ignored";
   EXPECT_EQ(t.getUTC(), 1);
   EXPECT_EQ(t.setDiff(-90), 0);
   EXPECT_STREQ(text, "20240101133000Z");
   EXPECT_EQ(t.getDiff(), -90);
   EXPECT_EQ(t.setMinute(0), 0);
   EXPECT_STREQ(text, "20240101133000Z") << "12:00 at -01:30 is 13:30 UTC";
   EXPECT_EQ(t.setMinute(45), 0);
   EXPECT_STREQ(text, "20240101141500Z");
}

TEST_F(TimeTest, LocalTimesLeaveOutTrailingZeroFields) {
   const char* text = "20240101120000";
   ASN1CGeneralizedTime t(context, text);
   EXPECT_STREQ(t.getTimeStringPtr(), "2024010112");
   EXPECT_EQ(t.setFraction(3), 0);
   EXPECT_STREQ(text, "20240101120000.3");
   EXPECT_EQ(t.setFraction(0), 0);
   EXPECT_EQ(t.setMinute(7), 0);
   EXPECT_STREQ(text, "202401011207");
   EXPECT_EQ(t.setDiffHour(-3), 0);
   EXPECT_STREQ(text, "202401011207-03");
}

/* ---- setters ------------------------------------------------------------ */

TEST_F(TimeTest, SettersValidate) {
   struct Case {
      const char* name;
      const char* start;
      int (*apply)(ASN1CGeneralizedTime&);
      int status;
      const char* text;
   };
   const Case cases[] = {
      {"year", "20240229120000Z", [](ASN1CGeneralizedTime& t) { return t.setYear(2028); }, 0,
       "20280229120000Z"},
      {"year leaves Feb 29", "20240229120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setYear(2023); }, RTS_BAD_TIME, nullptr},
      {"negative year", "20240101120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setYear(-1); }, RTS_BAD_TIME, nullptr},
      {"month", "20240131120000Z", [](ASN1CGeneralizedTime& t) { return t.setMonth(3); }, 0,
       "20240331120000Z"},
      {"month too short", "20240131120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setMonth(4); }, RTS_BAD_TIME, nullptr},
      {"month 13", "20240101120000Z", [](ASN1CGeneralizedTime& t) { return t.setMonth(13); },
       RTS_BAD_TIME, nullptr},
      {"day 29 leap", "20240201120000Z", [](ASN1CGeneralizedTime& t) { return t.setDay(29); },
       0, "20240229120000Z"},
      {"day 29 common", "20230201120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setDay(29); }, RTS_BAD_TIME, nullptr},
      {"day 32", "20240101120000Z", [](ASN1CGeneralizedTime& t) { return t.setDay(32); },
       RTS_BAD_TIME, nullptr},
      {"hour 23", "20240101120000Z", [](ASN1CGeneralizedTime& t) { return t.setHour(23); }, 0,
       "20240101230000Z"},
      {"hour 24", "20240101120000Z", [](ASN1CGeneralizedTime& t) { return t.setHour(24); },
       RTS_BAD_TIME, nullptr},
      {"minute 60", "20240101120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setMinute(60); }, RTS_BAD_TIME, nullptr},
      {"second 59", "20240101120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setSecond(59); }, 0, "20240101120059Z"},
      {"second -1", "20240101120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setSecond(-1); }, RTS_BAD_TIME, nullptr},
      {"zone hour 13", "20240101120000",
       [](ASN1CGeneralizedTime& t) { return t.setDiffHour(13); }, RTS_BAD_TIME, nullptr},
      {"zone 12:59", "20240101120000", [](ASN1CGeneralizedTime& t) { return t.setDiff(12, 59); },
       0, "2024010112+1259"},
      {"zone minutes 60", "20240101120000",
       [](ASN1CGeneralizedTime& t) { return t.setDiff(1, 60); }, RTS_BAD_TIME, nullptr},
      {"zone -5 takes the sign", "20240101120000",
       [](ASN1CGeneralizedTime& t) { return t.setDiff(-5, 30); }, 0, "2024010112-0530"},
      {"zone 721 minutes", "20240101120000",
       [](ASN1CGeneralizedTime& t) { return t.setDiff(721); }, RTS_BAD_TIME, nullptr},
      {"zone -720 minutes", "20240101120000",
       [](ASN1CGeneralizedTime& t) { return t.setDiff(-720); }, 0, "2024010112-12"},
      {"century leaves Feb 29", "20000229120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setCentury(19); }, RTS_BAD_TIME, nullptr},
      {"century", "20240229120000Z", [](ASN1CGeneralizedTime& t) { return t.setCentury(19); },
       0, "19240229120000Z"},
      {"century 100", "20240101120000Z",
       [](ASN1CGeneralizedTime& t) { return t.setCentury(100); }, RTS_BAD_TIME, nullptr},
      {"century 0", "20240101120000Z", [](ASN1CGeneralizedTime& t) { return t.setCentury(0); },
       0, "00240101120000Z"},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      resetError();
      const char* text = c.start;
      ASN1CGeneralizedTime t(context, text);
      EXPECT_EQ(c.apply(t), c.status);
      EXPECT_EQ(errorStatus(), c.status);
      EXPECT_STREQ(text, c.text != nullptr ? c.text : c.start);
   }
}

TEST_F(TimeTest, ZoneHourKeepsMinutesWithTheNewSign) {
   const char* text = "20240101120000+0130";
   ASN1CGeneralizedTime t(context, text);
   EXPECT_EQ(t.setDiffHour(-2), 0);
   EXPECT_EQ(t.getDiff(), -150);
   EXPECT_STREQ(text, "2024010112-0230");
   EXPECT_EQ(t.setDiffHour(0), 0);
   EXPECT_EQ(t.getDiff(), -30);
}

TEST_F(TimeTest, CenturyOfTheYear) {
   const char* text = "19991231235959Z";
   ASN1CGeneralizedTime t(context, text);
   EXPECT_EQ(t.getCentury(), 19);
   EXPECT_EQ(t.setCentury(20), 0);
   EXPECT_EQ(t.getYear(), 2099);
   EXPECT_STREQ(text, "20991231235959Z");
}

TEST_F(TimeTest, ClearThenBuildFieldByField) {
   char buffer[32] = "20240101120000Z";
   char* text = buffer;
   ASN1CGeneralizedTime t(context, text, sizeof buffer);
   t.clear();
   EXPECT_STREQ(buffer, "");
   EXPECT_EQ(t.getYear(), -3);
   EXPECT_EQ(t.setYear(2024), 0);
   EXPECT_EQ(t.setMonth(2), 0);
   EXPECT_EQ(t.setDay(29), 0);
   EXPECT_STREQ(buffer, "") << "no text until the hour is known";
   EXPECT_EQ(t.setHour(8), 0);
   EXPECT_EQ(t.setSecond(9), 0);
   EXPECT_STREQ(buffer, "20240229080009");
   EXPECT_EQ(text, buffer) << "written in the caller's buffer";
}

/* ---- text buffers ------------------------------------------------------- */

TEST_F(TimeTest, SmallOrConstantBuffersAreReplacedByTheInternalOne) {
   char small[16] = "20240101120000Z";
   char* smallText = small;
   ASN1CGeneralizedTime t(context, smallText, sizeof small);
   EXPECT_EQ(t.setHour(13), 0);
   EXPECT_NE(smallText, small);
   EXPECT_STREQ(smallText, "20240101130000Z");
   EXPECT_STREQ(small, "20240101120000Z");

   const char* constant = "20240101120000Z";
   const char* constText = constant;
   ASN1CGeneralizedTime c(context, constText);
   EXPECT_EQ(c.setSecond(1), 0);
   EXPECT_NE(constText, constant);
   EXPECT_STREQ(constText, "20240101120001Z");
   EXPECT_STREQ(constant, "20240101120000Z");
}

TEST_F(TimeTest, TimeStringCopies) {
   const char* text = "20240101120000.5Z";
   ASN1CGeneralizedTime t(context, text, true);
   char buffer[32];
   EXPECT_EQ(t.getTimeString(buffer, sizeof buffer), buffer);
   EXPECT_STREQ(buffer, "20240101120000.5Z");
   EXPECT_EQ(t.getTimeString(buffer, 17), nullptr) << "17 characters need 18 octets";
   EXPECT_EQ(t.getTimeString(buffer, 18), buffer);
   EXPECT_EQ(t.getTimeStringLen(), 17);
}

TEST_F(TimeTest, AssignmentTakesTheFieldsUnderItsOwnRules) {
   const char* zoned = "20240101120000+0130";
   ASN1CGeneralizedTime source(context, zoned);
   const char* derText = "19700101000000Z";
   ASN1CGeneralizedTime der(context, derText, true);
   der = source;
   EXPECT_STREQ(derText, "20240101103000Z");
   EXPECT_TRUE(der == source);

   const char* bad = "20241301";
   ASN1CGeneralizedTime broken(context, bad);
   resetError();
   der = broken;
   EXPECT_EQ(errorStatus(), RTS_BAD_TIME);
   EXPECT_STREQ(derText, "20240101103000Z");
}

/* ---- comparisons -------------------------------------------------------- */

TEST_F(TimeTest, ComparisonsAcrossZones) {
   struct Case {
      const char* lhs;
      const char* rhs;
      int sign;   // of the comparison operators
      int value;  // exact result of equals()
   };
   const Case cases[] = {
      {"20240101120000Z", "20240101130000+0100", 0, 0},
      {"20240102003000+0100", "20240101233000Z", 0, 0},
      {"20231231230000-0200", "20240101010000Z", 0, 0},
      {"20240101120000.5Z", "20240101120000Z", 1, 500},
      {"20240101120000Z", "20240101120001Z", -1, -1000},
      {"20240103120000Z", "20240101130000Z", 1, 2},
      {"20240101120000Z", "20240101120000+0001", 1, 60000},
      {"20240301000000Z", "20240229000000Z", 1, 1},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.lhs) + " vs " + c.rhs);
      const char* l = c.lhs;
      const char* r = c.rhs;
      ASN1CGeneralizedTime lhs(context, l);
      ASN1CGeneralizedTime rhs(context, r);
      int result = lhs.equals(rhs);
      EXPECT_EQ(result, c.value);
      EXPECT_EQ(-rhs.equals(lhs), c.value);
      EXPECT_EQ(lhs == rhs, c.sign == 0);
      EXPECT_EQ(lhs != rhs, c.sign != 0);
      EXPECT_EQ(lhs > rhs, c.sign > 0);
      EXPECT_EQ(lhs < rhs, c.sign < 0);
      EXPECT_EQ(lhs >= rhs, c.sign >= 0);
      EXPECT_EQ(lhs <= rhs, c.sign <= 0);
   }
}

/* ---- arithmetic --------------------------------------------------------- */

TEST(TimeArithmeticTest, AddDays) {
   struct Case {
      short year, month, day;
      long days;
      short toYear, toMonth, toDay;
   };
   const Case cases[] = {
      {2024, 2, 28, 1, 2024, 2, 29},    {2023, 2, 28, 1, 2023, 3, 1},
      {2000, 2, 28, 1, 2000, 2, 29},    {2100, 2, 28, 1, 2100, 3, 1},
      {2023, 12, 31, 1, 2024, 1, 1},    {2024, 1, 1, -1, 2023, 12, 31},
      {2024, 3, 1, -1, 2024, 2, 29},    {2024, 1, 31, 30, 2024, 3, 1},
      {2024, 1, 1, 366, 2025, 1, 1},    {2023, 1, 1, 365, 2024, 1, 1},
      {1970, 1, 1, 19723, 2024, 1, 1},  {2000, 3, 1, -146097, 1600, 3, 1},
      {2024, 6, 15, 0, 2024, 6, 15},    {1999, 12, 31, 1, 2000, 1, 1},
      {2000, 12, 31, 1, 2001, 1, 1},    {2400, 2, 28, 1, 2400, 2, 29},
   };
   for (const Case& c : cases) {
      short y = c.year, m = c.month, d = c.day;
      ASN1CTime::addDays(c.days, y, m, d);
      SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month << "-" << c.day << " + "
                                        << c.days);
      EXPECT_EQ(y, c.toYear);
      EXPECT_EQ(m, c.toMonth);
      EXPECT_EQ(d, c.toDay);
   }
}

TEST(TimeArithmeticTest, AddMilliseconds) {
   struct Time {
      short year, month, day, hour, minute, second;
      int fraction;
   };
   struct Case {
      Time from;
      long ms;
      Time to;
   };
   const Case cases[] = {
      {{2023, 12, 31, 23, 59, 59, 9}, 100, {2024, 1, 1, 0, 0, 0, 0}},
      {{2024, 3, 1, 0, 0, 0, 0}, -1, {2024, 2, 29, 23, 59, 59, 9}},
      {{2024, 1, 31, 12, 0, 0, 0}, 2L * 86400000 + 1500, {2024, 2, 2, 12, 0, 1, 5}},
      {{2024, 1, 1, 10, 30, 0, 0}, -5400000, {2024, 1, 1, 9, 0, 0, 0}},
      {{2024, 1, 1, 0, 30, 0, 0}, -3600000, {2023, 12, 31, 23, 30, 0, 0}},
      {{2024, 2, 28, 22, 0, 0, 0}, 7200000, {2024, 2, 29, 0, 0, 0, 0}},
      {{2023, 2, 28, 22, 0, 0, 0}, 7200000, {2023, 3, 1, 0, 0, 0, 0}},
      {{2024, 1, 1, 0, 0, 0, 0}, -365L * 86400000, {2023, 1, 1, 0, 0, 0, 0}},
      {{2025, 1, 1, 0, 0, 0, 0}, -366L * 86400000, {2024, 1, 1, 0, 0, 0, 0}},
      {{2024, 1, 1, 12, 0, 0, 0}, 99, {2024, 1, 1, 12, 0, 0, 0}},
   };
   for (const Case& c : cases) {
      Time t = c.from;
      ASN1CTime::addMilliseconds(c.ms, t.year, t.month, t.day, t.hour, t.minute, t.second,
                                 t.fraction);
      SCOPED_TRACE(c.ms);
      EXPECT_EQ(t.year, c.to.year);
      EXPECT_EQ(t.month, c.to.month);
      EXPECT_EQ(t.day, c.to.day);
      EXPECT_EQ(t.hour, c.to.hour);
      EXPECT_EQ(t.minute, c.to.minute);
      EXPECT_EQ(t.second, c.to.second);
      EXPECT_EQ(t.fraction, c.to.fraction);
   }
}

/* ---- time_t ------------------------------------------------------------- */

// Runs the test body under the given zone and puts the old one back.
class TimeZoneTest : public TimeTest {
protected:
   std::string saved;
   bool hadZone = false;
   void SetUp() override {
      const char* tz = std::getenv("TZ");
      hadZone = tz != nullptr;
      if (hadZone) saved = tz;
   }
   void TearDown() override {
      if (hadZone) setenv("TZ", saved.c_str(), 1);
      else unsetenv("TZ");
      tzset();
   }
   static void useZone(const char* tz) {
      setenv("TZ", tz, 1);
      tzset();
   }
};

// 2024-01-01 12:00:00 UTC.
const long kNoonNewYear = 1704110400L;

TEST_F(TimeZoneTest, SetTimeInUtcZone) {
   useZone("UTC0");
   const char* text = "";
   ASN1CGeneralizedTime t(context, text);
   EXPECT_EQ(t.setTime(kNoonNewYear, 0), 0);
   EXPECT_STREQ(text, "2024010112");
   EXPECT_EQ(t.getUTC(), 0);
   EXPECT_EQ(t.getTime(), kNoonNewYear);
   EXPECT_EQ(t.setTime(kNoonNewYear + 61, 1), 0);
   EXPECT_STREQ(text, "20240101120101Z");
   EXPECT_EQ(t.getTime(), kNoonNewYear + 61);
}

TEST_F(TimeZoneTest, SetTimeKeepsTheLocalOffset) {
   useZone("XYZ-01:30");  // 90 minutes east of Greenwich, no daylight saving
   const char* text = "";
   ASN1CGeneralizedTime t(context, text);
   EXPECT_EQ(t.setTime(kNoonNewYear, 1), 0);
   EXPECT_EQ(t.getHour(), 13);
   EXPECT_EQ(t.getMinute(), 30);
   EXPECT_EQ(t.getDiff(), 90);
   EXPECT_STREQ(text, "20240101120000Z");
   EXPECT_EQ(t.getTime(), kNoonNewYear);

   EXPECT_EQ(t.setTime(kNoonNewYear, 0), 0);
   EXPECT_STREQ(text, "202401011330") << "local time, no zone";
   EXPECT_EQ(t.getTime(), kNoonNewYear) << "read back through the local zone";

   const char* derText = "";
   ASN1CGeneralizedTime der(context, derText, true);
   EXPECT_EQ(der.setTime(kNoonNewYear, 0), 0);
   EXPECT_STREQ(derText, "20240101120000Z");
}

TEST_F(TimeZoneTest, GetTimeOfZonedTextIsTheInstant) {
   useZone("XYZ+05");
   const char* text = "20240101130000+0100";
   ASN1CGeneralizedTime t(context, text);
   EXPECT_EQ(t.getTime(), kNoonNewYear);
   const char* utc = "20240101120000Z";
   ASN1CGeneralizedTime u(context, utc);
   EXPECT_EQ(u.getTime(), kNoonNewYear);
}

}
