/*
 * The round-trip oracle shared by the fuzzing harnesses and their regression
 * test. A fuzz input is one byte that picks the top-level type followed by
 * the message (checkDerFuzzInput, checkXmlFuzzInput).
 *
 * The reference is the binary path alone: BER decoding followed by DER
 * encoding gives the DER of a value. Going through XML must give the same
 * value, and the DER written must be a fixed point of both paths: its XML
 * reads back to it, and decoding and encoding it again changes nothing.
 * Rejecting hostile input with an exception is the defined behaviour; only
 * a broken round trip is a failure here (crashes, leaks and undefined
 * behaviour are left to the sanitizers).
 */
#ifndef BLOBXML_FUZZ_ROUNDTRIPORACLE_H
#define BLOBXML_FUZZ_ROUNDTRIPORACLE_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ASN1BERDecodeBuffer.h"
#include "ASN1BEREncodeBuffer.h"
#include "ASN1CType.h"
#include "OSRTSAXException.h"
#include "caBlob.h"
#include "innerMessage.h"
#include "typeRegistry.h"
#include "xerDerConverter.h"

namespace fuzzoracle {

struct FuzzInput {
   const char* typeName = nullptr; /* null for an empty input */
   std::string message;
};

/* The first byte picks the type in registry order (modulo the number of
   types); the rest is the message. */
inline FuzzInput splitInput(const uint8_t* data, size_t size) {
   FuzzInput input;
   if (size == 0) return input;
   input.typeName = kTopLevelTypes.rows[data[0] % kTopLevelTypes.count].name;
   input.message.assign(reinterpret_cast<const char*>(data + 1), size - 1);
   return input;
}

/* held is false when the round trip broke; failure then says how. */
struct Verdict {
   bool held = true;
   std::string failure;
};

namespace detail {

inline std::string hex(const std::string& bytes) {
   static const char digits[] = "0123456789ABCDEF";
   std::string text;
   for (unsigned char c : bytes) {
      text += digits[c >> 4];
      text += digits[c & 15];
   }
   return text;
}

inline std::string blobBytes(const CACMPT_BLOB& blob) {
   return blob.length == 0 ? std::string()
                           : std::string(reinterpret_cast<const char*>(blob.data), blob.length);
}

inline CACMPT_BLOB toBlob(const std::string& bytes) {
   return CACMPT_BLOB(reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<uint32_t>(bytes.size()));
}

/* What an exception caught by catch (...) was, rethrown to be named. */
inline std::string describeCurrentException() {
   try {
      throw;
   } catch (const std::exception& e) {
      return e.what();
   } catch (const ASN1RTLException& e) {
      return "run-time library status " + std::to_string(e.getStatus());
   } catch (OSRTSAXException& e) {
      const char* message = e.getMessage(); /* null for the handlers' own */
      return std::string("XML reader: ") + (message != nullptr ? message : "") + ", status " +
             std::to_string(e.getStatus());
   } catch (...) {
      return "an exception of unknown type";
   }
}

/* How BER decoding followed by DER encoding of a value went. */
enum class Reencoding { Done, DecodeFailed, EncodeFailed };

/* BER decoding and DER encoding of the value, without XML: Done with the
   DER in der, or which of the two steps failed. */
inline Reencoding reencodeValue(const char* typeName, const std::string& ber, std::string& der) {
   ASN1BERDecodeBuffer decodeBuffer(reinterpret_cast<const ASN1OCTET*>(ber.data()),
                                    static_cast<int>(ber.size()));
   ASN1BEREncodeBuffer encodeBuffer;
   void* value = nullptr;
   std::unique_ptr<ASN1CType> decoder(CreateType(decodeBuffer, typeName, &value));
   std::unique_ptr<ASN1CType> encoder(CreateType(encodeBuffer, typeName, &value));
   if (decoder == nullptr || encoder == nullptr || decoder->Decode() != 0)
      return Reencoding::DecodeFailed;
   int length = encoder->Encode();
   if (length < 0) return Reencoding::EncodeFailed;
   der.assign(reinterpret_cast<const char*>(encodeBuffer.getMsgPtr()),
              static_cast<size_t>(length));
   return Reencoding::Done;
}

inline bool reencode(const char* typeName, const std::string& ber, std::string& der) {
   return reencodeValue(typeName, ber, der) == Reencoding::Done;
}

/* True when BER decoding accepts the octets but DER encoding of the value
   fails. The decoder takes an indefinite-length open type whose
   end-of-contents is missing up to the end of the message, and such octets
   are no complete element that DER could hold. */
inline bool decodesWithoutDer(const char* typeName, const std::string& ber) {
   std::string der;
   try {
      return reencodeValue(typeName, ber, der) == Reencoding::EncodeFailed;
   } catch (...) {
      return false;
   }
}

/* True when the XML carries its values exactly: only printable ASCII and
   line feeds, and no backslash. The writer passes the bytes of 8-bit strings
   through unchanged (so bytes of 0x80 and above may not be UTF-8, and an
   8-bit string reads them back as characters) and writes control characters
   as a backslash and a letter that are read back as those two characters;
   such values do not survive XML, by design of the format. */
inline bool carriesValuesExactly(const std::string& xml) {
   for (unsigned char c : xml)
      if ((c < 0x20 && c != '\n') || c > 0x7E || c == '\\') return false;
   return true;
}

class Checker {
public:
   explicit Checker(const char* typeName) : typeName(typeName), converter(typeName) {}

   Verdict verdict;

   /* DER -> XML; on failure records what and returns false. */
   bool toXml(const char* step, const std::string& der, std::string& xml) {
      try {
         xml = converter.toXer(toBlob(der), false);
         return true;
      } catch (...) {
         return fail(step + (" threw: " + describeCurrentException()) + "\n--- DER: " + hex(der));
      }
   }

   /* XML -> DER; on failure records what and returns false. */
   bool toDer(const char* step, const std::string& xml, std::string& der) {
      try {
         der = blobBytes(converter.toDer(xml));
         return true;
      } catch (...) {
         return fail(step + (" threw: " + describeCurrentException()) + "\n--- XML:\n" + xml);
      }
   }

   /* XML of a value that has no DER: XML -> DER must refuse it too. */
   bool refusedAsDer(const char* step, const std::string& xml) {
      try {
         std::string der = blobBytes(converter.toDer(xml));
         return fail(step + std::string(" gave DER for a value without DER: ") + hex(der) +
                     "\n--- XML:\n" + xml);
      } catch (...) {
         return true;
      }
   }

   /* BER decoding and DER encoding; on failure records what and returns false. */
   bool reencoded(const char* step, const std::string& ber, std::string& der) {
      std::string thrown = "failed";
      try {
         if (reencode(typeName, ber, der)) return true;
      } catch (...) {
         thrown = "threw: " + describeCurrentException();
      }
      return fail(step + (" " + thrown) + "\n--- input: " + hex(ber));
   }

   bool sameDer(const char* what, const std::string& expected, const std::string& actual,
                const std::string& xml) {
      return expected == actual ||
             fail(std::string(what) + "\n--- expected: " + hex(expected) +
                  "\n--- actual:   " + hex(actual) + "\n--- XML:\n" + xml);
   }

   bool sameXml(const char* what, const std::string& expected, const std::string& actual) {
      return expected == actual || fail(std::string(what) + "\n--- expected:\n" + expected +
                                        "\n--- actual:\n" + actual);
   }

   /* DER written by the encoder decodes and encodes to itself. */
   bool binaryFixed(const char* what, const std::string& der) {
      std::string again;
      return reencoded(what, der, again) && sameDer(what, der, again, "(none)");
   }

   /* der was written from XML: it must be a fixed point of the binary path
      and, when its XML carries the values exactly, of XML -> DER. Its XML
      is left in xml. */
   bool writtenDerIsFixed(const std::string& der, std::string& xml) {
      std::string again;
      if (!binaryFixed("BER decoding and DER encoding of written DER", der) ||
          !toXml("DER -> XML of written DER", der, xml))
         return false;
      return !carriesValuesExactly(xml) ||
             (toDer("XML -> DER of the XML of written DER", xml, again) &&
              sameDer("written DER changed over DER -> XML -> DER", der, again, xml));
   }

private:
   bool fail(const std::string& failure) {
      verdict.held = false;
      verdict.failure = std::string(typeName) + ": " + failure;
      return false;
   }

   const char* typeName;
   XerDerConverterSimple converter;
};

}

/* XML in. When it converts to DER, that DER must decode again and be a
   fixed point: XML -> DER never writes what DER -> XML would refuse. */
inline Verdict checkXmlInput(const char* typeName, const std::string& message) {
   detail::Checker check(typeName);
   std::string der, xml;
   try {
      der = detail::blobBytes(XerDerConverterSimple(typeName).toDer(message));
   } catch (...) {
      return check.verdict;
   }
   check.writtenDerIsFixed(der, xml);
   return check.verdict;
}

/* BER or DER in. When it converts to XML, the binary path alone must accept
   it too and write DER that is a fixed point of that path; a value that BER
   decoding accepts but that has no DER must be refused by XML -> DER too. When the XML
   carries its values exactly, it must convert to DER that is a fixed point
   of both paths and holds the same value as the binary path's DER: where
   the two DER differ (the binary path keeps the padding bits of a bit
   string, which XML drops), their XML must not. So a DER input comes back
   as the same XML. XML that does not carry its values exactly is held to
   what any XML input is (checkXmlInput). */
inline Verdict checkDerInput(const char* typeName, const std::string& message) {
   detail::Checker check(typeName);
   std::string xml;
   try {
      xml = XerDerConverterSimple(typeName).toXer(detail::toBlob(message), false);
   } catch (...) {
      return check.verdict;
   }
   std::string direct, der, xmlOfDer, xmlOfDirect;
   if (detail::decodesWithoutDer(typeName, message)) {
      check.refusedAsDer("XML -> DER of the XML of the input", xml);
      return check.verdict;
   }
   if (!check.reencoded("BER decoding and DER encoding of the input", message, direct) ||
       !check.binaryFixed("BER decoding and DER encoding of the binary path's DER", direct))
      return check.verdict;
   if (!detail::carriesValuesExactly(xml)) return checkXmlInput(typeName, xml);
   if (check.toDer("XML -> DER of the XML of the input", xml, der) &&
       check.writtenDerIsFixed(der, xmlOfDer) && direct != der &&
       check.toXml("DER -> XML of the binary path's DER", direct, xmlOfDirect))
      check.sameXml("the XML path and the binary path give different values", xmlOfDirect,
                    xmlOfDer);
   return check.verdict;
}

constexpr size_t kDriverBufferSize = 65536;

/* A DER fuzz input: the oracle on the message. A message of an outer type
   of the -t1 step also goes through that step, and the inner message it
   takes out through the oracle; a time-stamp response also goes through the
   converter that shows its token's TSTInfo in place (any exception is
   fine there). The -t1 step reports failed decodes on standard output. */
inline Verdict checkDerFuzzInput(const uint8_t* data, size_t size) {
   FuzzInput input = splitInput(data, size);
   if (input.typeName == nullptr) return Verdict();
   Verdict verdict = checkDerInput(input.typeName, input.message);
   for (const TopLevelType& inner : kTopLevelTypes) {
      if (!verdict.held || inner.carriedBy == nullptr ||
          std::strcmp(input.typeName, inner.carriedBy) != 0)
         continue;
      /* The driver's buffer: at most 65536 bytes of message, zeros after
         them (an empty message is decoded as one of unknown length). */
      std::vector<unsigned char> buffer(kDriverBufferSize, 0);
      uint32_t length = static_cast<uint32_t>(std::min(input.message.size(), buffer.size()));
      std::memcpy(buffer.data(), input.message.data(), length);
      if (extractInnerMessage(buffer.data(), &length, inner.name, inner.carriedBy, nullptr))
         verdict = checkDerInput(
            inner.name, std::string(reinterpret_cast<const char*>(buffer.data()), length));
   }
   if (std::strcmp(input.typeName, "TimeStampResp") == 0) {
      try {
         XerDerConverterTimeStampResponse().toXer(detail::toBlob(input.message), false);
      } catch (...) {
      }
   }
   return verdict;
}

/* An XML fuzz input: the oracle on the message. */
inline Verdict checkXmlFuzzInput(const uint8_t* data, size_t size) {
   FuzzInput input = splitInput(data, size);
   return input.typeName == nullptr ? Verdict() : checkXmlInput(input.typeName, input.message);
}

}

#endif
