/*
 * The message corpus of the benchmarks: the DER fixtures of the test tree,
 * grouped by top-level type, each with the XML text the converter makes of
 * it, so that both directions run over the same messages.
 */
#ifndef BLOBXML_BENCHCORPUS_H
#define BLOBXML_BENCHCORPUS_H

#include <string>
#include <vector>

namespace bench {

struct Message {
   std::string file; /* path relative to the fixture root */
   std::string type; /* top-level type name of the registry */
   std::string der;
   std::string xml;  /* the converter's XML text of der */
};

/* A named set of messages that one benchmark runs through in turn. */
struct Corpus {
   std::string name;
   std::vector<Message> messages;
   size_t derBytes() const;
   size_t xmlBytes() const;
};

/* The top-level type a fixture file name stands for ("certificate_x.der"
   is a Certificate), or "" when its prefix names no top-level type. */
std::string typeOfFixture(const std::string& fileName);

/* Every fixture below root whose name starts with a top-level type, sorted
   by path, with its XML text. A fixture that does not convert, or whose XML
   does not convert back to a DER encoding of the same length, is an error:
   the benchmarks must time complete conversions only. Throws
   std::runtime_error naming the file. */
std::vector<Message> loadFixtures(const std::string& root);

/* One corpus per top-level type present, in the order of the registry, then
   "cert-fixtures": all messages of the cert/ directory, the set on which the
   throughput targets are measured. */
std::vector<Corpus> groupCorpora(const std::vector<Message>& messages);

/* A message of the given type made from der, with its XML text; throws
   std::runtime_error when der does not convert. */
Message makeMessage(const std::string& name, const std::string& type, const std::string& der);

}

#endif
