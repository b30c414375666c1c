/* XER writer: the cases of xerencode_cases.txt (writer calls -> exact text and
   status), each also at every buffer size and every growth point. */
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "rtContext.h"
#include "test_support.h"
#include "xerEncode.h"

namespace {

using casefile::Words;

const ASN1OCTET* octets(const std::string& s) {
   return reinterpret_cast<const ASN1OCTET*>(s.data());
}

std::string textOf(const ASN1CTXT& ctxt) {
   return std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex);
}

ASN1OBJID oidOf(const std::string& dotted) {
   ASN1OBJID oid{};
   std::istringstream arcs(dotted);
   for (std::string arc; std::getline(arcs, arc, '.');)
      oid.arcs[oid.numarcs++] = static_cast<ASN1UINT>(std::stoul(arc));
   return oid;
}

/* A writer context over a dynamic buffer, or a caller's buffer followed by a
   guard octet that must never be written. */
class Writer {
public:
   explicit Writer(ASN1BOOL compact = 0, long fixedSize = -1, ASN1UINT dynamicSize = 0) {
      rtInitContext(&ctxt, nullptr);
      storage.assign(fixedSize < 0 ? 1 : fixedSize + 1, 0xEE);
      status =
          xerSetEncBufPtr(&ctxt, fixedSize < 0 ? nullptr : storage.data(),
                          fixedSize < 0 ? dynamicSize : static_cast<ASN1UINT>(fixedSize), compact);
   }
   ~Writer() { rtFreeContext(&ctxt); }
   bool guardIntact() const { return storage.back() == 0xEE; }
   std::string text() const { return textOf(ctxt); }

   /* The steps from `first` on, until one fails. */
   int run(const std::vector<Words>& steps, size_t first = 0) {
      int stat = RTS_OK;
      for (size_t i = first; i < steps.size() && stat == RTS_OK; i++) stat = call(steps[i]);
      return stat;
   }

   /* One step of a case: a writer call, or a change of the context. */
   int call(const Words& w) {
      const std::string& op = w[0];
      auto s = [&](size_t i) { return i < w.size() && w[i] != "~" ? w[i].c_str() : nullptr; };
      auto n = [&](size_t i) { return static_cast<ASN1UINT>(std::stoul(w[i], nullptr, 0)); };
      /* Data: "~" none, "~N" none but a count of N; octets are given in hex,
         characters as hexadecimal code points separated by commas. */
      const bool none = w.size() > 1 && w[1][0] == '~';
      const bool hex = op == "oct" || op == "hexval" || op == "binval" || op == "bits";
      const std::string data = none           ? ""
                               : hex          ? testsupport::fromHex(w[1])
                               : w.size() > 1 ? w[1]
                                              : "";
      const ASN1OCTET* bytes = none ? nullptr : octets(data);
      const ASN1UINT count =
          none ? std::atoi(w[1].c_str() + 1) : static_cast<ASN1UINT>(data.size());
      std::vector<ASN132BITCHAR> univ;
      std::istringstream list(op == "bmp" || op == "univ" || op == "char" ? data : "");
      for (std::string item; std::getline(list, item, ',');)
         univ.push_back(static_cast<ASN132BITCHAR>(std::stoul(item, nullptr, 16)));
      std::vector<ASN116BITCHAR> bmp(univ.begin(), univ.end());
      ASN116BitCharString bmpValue{static_cast<ASN1UINT>(bmp.size()), bmp.data()};
      ASN132BitCharString univValue{static_cast<ASN1UINT>(univ.size()), univ.data()};
      const ASN1OBJID oid = op == "oid" && !none ? oidOf(data) : ASN1OBJID{};
      const std::map<std::string, int> states = {{"DOCUMENT", XERSTATE_DOCUMENT},
                                                 {"START", XERSTATE_START_TAG},
                                                 {"CONTENT", XERSTATE_CONTENT},
                                                 {"END", XERSTATE_END_TAG}};
      if (op == "level") ctxt.xerIndentLevel = static_cast<ASN1UINT8>(n(1));
      if (op == "state") ctxt.xerState = static_cast<ASN1UINT8>(states.at(w[1]));
      if (op == "compact") rtCtxtSetFlag(&ctxt, CTXTF_XER_NOINDENT);
      if (op == "level" || op == "state" || op == "compact") return RTS_OK;
      if (op == "startdoc") return xerEncStartDocument(&ctxt);
      if (op == "enddoc") return xerEncEndDocument(&ctxt);
      if (op == "indent") return xerEncIndent(&ctxt);
      if (op == "newline") return xerEncNewLine(&ctxt);
      if (op == "start") return xerEncStartElement(&ctxt, s(1), s(2));
      if (op == "end") return xerEncEndElement(&ctxt, s(1));
      if (op == "empty") return xerEncEmptyElement(&ctxt, s(1), s(2));
      if (op == "named") return xerEncNamedValue(&ctxt, s(1), s(2), s(3));
      if (op == "bool") return xerEncBool(&ctxt, static_cast<ASN1BOOL>(n(1)), s(2));
      if (op == "null") return xerEncNull(&ctxt, s(1));
      if (op == "int") return xerEncInt(&ctxt, std::stoi(w[1]), s(2));
      if (op == "uint") return xerEncUInt(&ctxt, n(1), s(2));
      if (op == "bigint") return xerEncBigInt(&ctxt, s(1), s(2));
      if (op == "oid") return xerEncObjId(&ctxt, none ? nullptr : &oid, s(2));
      if (op == "oct") return xerEncOctStr(&ctxt, count, bytes, s(2));
      if (op == "hexval") return xerEncHexStrValue(&ctxt, count, bytes);
      /* Bits: the octets, the bit count, the name and the form. */
      if (op == "binval") return xerEncBinStrValue(&ctxt, n(2), bytes);
      if (op == "bits" && w.size() > 4)
         return xerEncBitStr(&ctxt, n(2), bytes, s(3), std::stoi(w[4]));
      if (op == "bits") return xerEncBitStr(&ctxt, n(2), bytes, s(3));
      if (op == "open") return xerEncOpenType(&ctxt, count, bytes, s(2));
      if (op == "asc") return xerEncAscCharStr(&ctxt, s(1), s(2));
      if (op == "put") return xerPutCharStr(&ctxt, s(1), std::stoi(w[2]));
      if (op == "bmp") return xerEncBMPStr(&ctxt, none ? nullptr : &bmpValue, s(2));
      if (op == "univ") return xerEncUnivStr(&ctxt, &univValue, s(2));
      if (op == "char") return xerEncChar(&ctxt, univ.at(0));
      if (op == "copy") return xerCopyText(&ctxt, s(1));
      if (op == "copy2") return xerCopyText2(&ctxt, s(1), s(2));
      if (op == "chardata") return xerEncXmlCharData(&ctxt, s(1), std::stoi(w[2]));
      ADD_FAILURE() << "unknown step " << op;
      return 1;
   }

   ASN1CTXT ctxt;
   int status;

private:
   std::vector<ASN1OCTET> storage;
};

/* Each case: its steps run until one fails; the text written, the status
   returned and the status recorded in the context must be those given. A
   first step "fixed N" writes into a caller's buffer of N octets. */
TEST(XerWriter, CaseFile) {
   casefile::forEach("xer/xerencode_cases.txt", [&](const casefile::Case& c) {
      const bool fixed = c.steps[0][0] == "fixed";
      Writer out(0, fixed ? std::stol(c.steps[0][1]) : -1);
      const int status = casefile::statusAt(c, 1);
      EXPECT_EQ(out.run(c.steps, fixed ? 1 : 0), status);
      EXPECT_EQ(out.text(), c.expected.at(0));
      EXPECT_EQ(out.ctxt.errInfo.status, casefile::statusAt(c, 2, status));
      EXPECT_TRUE(out.guardIntact());
   });
}

TEST(XerWriter, TooManyArcsAndUninitialisedContext) {
   ASN1OBJID longest = oidOf("1.2");
   longest.numarcs = MAX_OID_ARCS + 1;
   Writer out(1);
   EXPECT_EQ(xerEncObjId(&out.ctxt, &longest, nullptr), RTS_BAD_OID)
       << "more arcs than a value holds";
   ASN1CTXT ctxt{};
   EXPECT_EQ(xerSetEncBufPtr(&ctxt, nullptr, 0, 0), RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_INITIALISED);
   EXPECT_EQ(xerTextLength(nullptr), 0u);
}

/* Every successful case again into a caller's buffer of every size: a
   prefix of the text, and success only with room for the text (and the NUL
   of a finished document); and into growing buffers that run out inside
   every call: the same text after one growth of 16384 octets. */
TEST(XerWriter, EveryCaseAtEveryBufferSize) {
   casefile::forEach("xer/xerencode_cases.txt", [&](const casefile::Case& c) {
      if (c.expected.size() > 1 || c.steps[0][0] == "fixed") return;
      const std::string& text = c.expected[0];
      const size_t room = text.size() + (c.steps.back()[0] == "enddoc" ? 1 : 0);
      std::vector<size_t> sizes; /* every size up to 256, then every 3% */
      for (size_t size = 0; size < room; size += size < 256 ? 1 : size / 32) sizes.push_back(size);
      sizes.push_back(room);
      for (size_t size : sizes) {
         Writer out(0, static_cast<long>(size));
         const int stat = out.run(c.steps);
         ASSERT_TRUE(out.guardIntact()) << size;
         ASSERT_EQ(out.text(), text.substr(0, out.text().size())) << size;
         EXPECT_EQ(stat, size == room ? RTS_OK : RTS_BUFFER_FULL) << size;
         EXPECT_EQ(out.ctxt.errInfo.status, stat) << size;
         Writer growing(0, -1, static_cast<ASN1UINT>(size + 1));
         ASSERT_EQ(growing.run(c.steps), RTS_OK);
         ASSERT_EQ(growing.text(), text) << size;
         size_t grown = size + 1;
         while (grown < room) grown += std::max<size_t>(16384, grown);
         EXPECT_EQ(growing.ctxt.buffer.size, grown) << size;
      }
   });
}

}
