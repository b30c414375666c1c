// GeneralizedTime values: the cases of time_cases.txt (text, setters,
// comparisons and time_t values -> text, status and fields; calendar
// arithmetic), then the text buffers and assignment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <string>

#include "case_file.h"
#include "ASN1CGeneralizedTime.h"
#include "rtContext.h"

namespace {

std::string fieldsOf(ASN1CTime& t) {
   const int fields[] = {t.getYear(),     t.getMonth(),     t.getDay(),      t.getHour(),
                         t.getMinute(),   t.getSecond(),    t.getFraction(), t.getUTC(),
                         t.getDiffHour(), t.getDiffMinute()};
   std::string text;
   for (int f : fields) text += (text.empty() ? "" : " ") + std::to_string(f);
   return text;
}

/* One step; comparisons and time values append their answer. */
int apply(ASN1CGeneralizedTime& t, const casefile::Words& w, std::string& answers) {
   if (w[0] == "cmp") {
      const char* text = w[1].c_str();
      ASN1CGeneralizedTime other(t.getContext(), text);
      const int value = t.equals(other);
      EXPECT_EQ(-other.equals(t), value);
      const bool operators[] = {t == other, t != other, t > other,
                                t < other,  t >= other, t <= other};
      const bool expected[] = {value == 0, value != 0, value > 0,
                               value < 0,  value >= 0, value <= 0};
      EXPECT_TRUE(std::equal(operators, operators + 6, expected)) << w[1];
      answers += " =" + std::to_string(value);
      return RTS_OK;
   }
   if (w[0] == "time") answers += " =" + std::to_string(t.getTime());
   if (w[0] == "tz") setenv("TZ", w[1].c_str(), 1);
   if (w[0] == "tz") tzset();
   if (w[0] == "time" || w[0] == "tz") return RTS_OK;
   if (w[0] == "settime") return t.setTime(std::stol(w[1]), static_cast<ASN1BOOL>(std::stoi(w[2])));
   const int v = w.size() > 1 && w[0] != "parse" ? std::stoi(w[1]) : 0;
   if (w[0] == "year") return t.setYear(v);
   if (w[0] == "month") return t.setMonth(v);
   if (w[0] == "day") return t.setDay(v);
   if (w[0] == "hour") return t.setHour(v);
   if (w[0] == "minute") return t.setMinute(v);
   if (w[0] == "second") return t.setSecond(v);
   if (w[0] == "fraction") return t.setFraction(v);
   if (w[0] == "century") return t.setCentury(v);
   if (w[0] == "utc") return t.setUTC(static_cast<ASN1BOOL>(v));
   if (w[0] == "diffhour") return t.setDiffHour(v);
   if (w[0] == "diff") return t.setDiff(v);
   if (w[0] == "diffhm") return t.setDiff(v, std::stoi(w[2]));
   if (w[0] == "parse") return t.parseString(w[1].c_str());
   if (w[0] == "clear") t.clear();
   if (w[0] == "clear") return RTS_OK;
   ADD_FAILURE() << "unknown step " << w[0];
   return 1;
}

std::string arithmetic(const casefile::Words& w) {
   short f[7] = {};
   for (size_t i = 1; i + 1 < w.size(); i++) f[i - 1] = static_cast<short>(std::stoi(w[i]));
   int fraction = f[6];
   const long amount = std::stol(w.back());
   if (w[0] == "days") ASN1CTime::addDays(amount, f[0], f[1], f[2]);
   else ASN1CTime::addMilliseconds(amount, f[0], f[1], f[2], f[3], f[4], f[5], fraction);
   f[6] = static_cast<short>(fraction);
   std::string text;
   for (size_t i = 0; i + 2 < w.size(); i++) text += (i ? " " : "") + std::to_string(f[i]);
   return text;
}

TEST(Time, CaseFile) {
   const char* zone = std::getenv("TZ");
   const std::string savedZone = zone != nullptr ? zone : "";
   casefile::forEach("objects/time_cases.txt", [&](const casefile::Case& c) {
      const casefile::Words& first = c.steps[0];
      if (first[0] == "days" || first[0] == "ms") {
         EXPECT_EQ(arithmetic(first), c.expected.at(0));
         return;
      }
      ASN1CtxtPtr context(new ASN1Context());
      const char* text = first[0].c_str();
      ASN1CGeneralizedTime t(context, text, first.size() > 1);
      int stat = RTS_OK;
      std::string answers;
      t.getYear(); /* the text is parsed on first use */
      EXPECT_EQ(text, first[0].c_str()) << "parsing alone leaves the caller's text";
      for (size_t i = 1; i < c.steps.size() && stat == RTS_OK; i++)
         stat = apply(t, c.steps[i], answers);
      if (stat == RTS_OK) stat = context->getPtr()->errInfo.status;
      const int status = casefile::statusAt(c, 1);
      EXPECT_EQ(stat, status);
      EXPECT_EQ(context->getPtr()->errInfo.status, status);
      EXPECT_EQ(c.expected.size() > 2 ? fieldsOf(t) : "",
                c.expected.size() > 2 ? c.expected[2] : "");
      const char* compiled = t.getTimeStringPtr();
      EXPECT_EQ((compiled != nullptr ? compiled : "~") + answers, c.expected.at(0));
      EXPECT_STREQ(text, compiled != nullptr ? compiled : first[0].c_str())
          << "the caller's text follows";
   });
   if (zone != nullptr) setenv("TZ", savedZone.c_str(), 1);
   else unsetenv("TZ");
   tzset();
}

TEST(Time, TextBuffersAndAssignment) {
   ASN1CtxtPtr context(new ASN1Context());
   char roomy[32] = "20240101120000Z", small[16] = "20240101120000Z", copy[32];
   char *inPlace = roomy, *moved = small;
   ASN1CGeneralizedTime big(context, inPlace, sizeof roomy), little(context, moved, sizeof small);
   EXPECT_EQ(big.setHour(8), 0);
   EXPECT_EQ(little.setHour(13), 0);
   EXPECT_EQ(std::string(inPlace == roomy ? "in place " : "") + roomy, "in place 20240101080000Z");
   EXPECT_EQ(std::string(moved) + " " + small, "20240101130000Z 20240101120000Z")
       << "its own buffer";

   const char* der = "20240101120000.5Z";
   ASN1CGeneralizedTime t(context, der, true);
   EXPECT_EQ(t.getTimeString(copy, 17), nullptr) << "17 characters need 18 octets";
   EXPECT_EQ(t.getTimeString(copy, 18), copy);
   EXPECT_EQ(std::string(copy) + " " + std::to_string(t.getTimeStringLen()),
             "20240101120000.5Z 17");
   const char *zoned = "20240101120000+0130", *bad = "20241301";
   ASN1CGeneralizedTime source(context, zoned), broken(context, bad);
   t = source;
   EXPECT_STREQ(der, "20240101103000Z") << "assigned under its own DER rules";
   EXPECT_TRUE(t == source);
   t = broken;
   EXPECT_EQ(context->getPtr()->errInfo.status, RTS_BAD_TIME);
   EXPECT_STREQ(der, "20240101103000Z");
}

}
