/* Context set up for XER output, shared by the XER writer tests. */
#ifndef BLOBXML_TEST_XERENCODE_FIXTURE_H
#define BLOBXML_TEST_XERENCODE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "asn1type.h"
#include "rtContext.h"
#include "xerEncode.h"

class XerEncodeTest : public ::testing::Test {
protected:
   ASN1CTXT ctxt;

   void SetUp() override {
      ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
      ASSERT_EQ(xerSetEncBufPtr(&ctxt, nullptr, 0, 0), RTS_OK);
   }
   void TearDown() override { rtFreeContext(&ctxt); }

   /* Everything written since the last clear. */
   std::string text() const {
      return std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex);
   }
   void clear() {
      ctxt.buffer.byteIndex = 0;
      ctxt.xerState = XERSTATE_DOCUMENT;
      ctxt.xerIndentLevel = 0;
      rtErrReset(&ctxt.errInfo);
   }
   void compact() { rtCtxtSetFlag(&ctxt, CTXTF_XER_NOINDENT); }
};

#endif
