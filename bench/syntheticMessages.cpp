/*
 * Building the synthetic messages: the fixture is taken apart with the DER
 * helpers, one component is replaced, and the enclosing elements are written
 * again with their new lengths.
 */
#include "syntheticMessages.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "derBuilder.h"

namespace bench {

namespace {

const unsigned char kSequence = 0x30;
const unsigned char kSet = 0x31;
const unsigned char kInteger = 0x02;
const unsigned char kUtcTime = 0x17;
const unsigned char kGeneralizedTime = 0x18;
const unsigned char kUtf8String = 0x0C;
const unsigned char kVersionTag = 0xA0;
/* id-at-organizationalUnitName 2.5.4.11 */
const char kOrganizationalUnitOid[] = "\x06\x03\x55\x04\x0B";

unsigned char identifierOf(const std::string& element) {
   return static_cast<unsigned char>(element[0]);
}

bool isTime(const std::string& element) {
   return identifierOf(element) == kUtcTime || identifierOf(element) == kGeneralizedTime;
}

std::string concat(const std::vector<std::string>& parts) {
   std::string all;
   for (const std::string& part : parts) all += part;
   return all;
}

/* A positive 16-octet INTEGER that holds number in its low octets. */
std::string serialNumber(size_t number) {
   std::string octets(16, '\0');
   octets[0] = 0x4B;
   for (int i = 15; i > 0 && number != 0; --i, number >>= 8)
      octets[i] = static_cast<char>(number & 0xFF);
   return derElement(kInteger, octets);
}

/* Size of an element whose contents are length octets long. */
size_t elementSize(size_t length) { return 1 + derLength(length).size() + length; }

}

std::string growCertificateList(const std::string& crl, size_t limit) {
   std::vector<std::string> outer = derChildren(derContents(crl));
   std::vector<std::string> tbs = derChildren(derContents(outer.at(0)));

   /* revokedCertificates is the SEQUENCE after thisUpdate and the optional
      nextUpdate. */
   size_t index = 0;
   while (index < tbs.size() && !isTime(tbs[index])) ++index;
   ++index;
   if (index < tbs.size() && isTime(tbs[index])) ++index;
   if (index >= tbs.size() || identifierOf(tbs[index]) != kSequence)
      throw std::runtime_error("the CRL has no revoked certificates");
   std::vector<std::string> templates = derChildren(derContents(tbs[index]));

   size_t otherTbs = derContents(outer.at(0)).size() - tbs[index].size();
   size_t signature = outer.at(1).size() + outer.at(2).size();
   auto messageSize = [&](size_t revokedLength) {
      return elementSize(elementSize(otherTbs + elementSize(revokedLength)) + signature);
   };

   std::string revoked;
   for (size_t n = 0;; ++n) {
      std::vector<std::string> entry = derChildren(derContents(templates[n % templates.size()]));
      entry.at(0) = serialNumber(n + 1);
      std::string element = derElement(kSequence, concat(entry));
      if (messageSize(revoked.size() + element.size()) > limit) break;
      revoked += element;
   }
   tbs[index] = derElement(kSequence, revoked);
   outer[0] = derElement(kSequence, concat(tbs));
   return derElement(kSequence, concat(outer));
}

std::string widenSubject(const std::string& cert, unsigned count) {
   std::vector<std::string> outer = derChildren(derContents(cert));
   std::vector<std::string> tbs = derChildren(derContents(outer.at(0)));
   /* version?, serialNumber, signature, issuer, validity, subject */
   size_t subject = identifierOf(tbs.at(0)) == kVersionTag ? 5 : 4;

   std::vector<std::string> attributes(count);
   for (unsigned i = 0; i < count; ++i) {
      char value[16];
      std::snprintf(value, sizeof value, "unit %05u", i);
      attributes[i] = derElement(kSequence, std::string(kOrganizationalUnitOid, 5) +
                                               derElement(kUtf8String, value));
   }
   /* A fixed Fisher-Yates shuffle (linear congruential numbers), the same
      in every run. */
   unsigned long state = 12345;
   for (unsigned i = count; i > 1; --i) {
      state = state * 1103515245UL + 12345UL;
      std::swap(attributes[i - 1], attributes[(state >> 8) % i]);
   }
   tbs.at(subject) = derElement(kSequence, derElement(kSet, concat(attributes)));
   outer[0] = derElement(kSequence, concat(tbs));
   return derElement(kSequence, concat(outer));
}

}
