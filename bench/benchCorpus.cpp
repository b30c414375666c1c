/*
 * Fixture loading for the benchmarks. Every message is converted once up
 * front, in both directions, so that a fixture the converter refuses stops
 * the run instead of being timed as a fast failure.
 */
#include "benchCorpus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "typeRegistry.h"
#include "xerDerConverter.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

const char kCertCorpus[] = "cert-fixtures";
const char kCertDirectory[] = "cert/";

std::string readFile(const fs::path& path) {
   std::ifstream in(path, std::ios::binary);
   if (!in) throw std::runtime_error("cannot read " + path.string());
   return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}

size_t Corpus::derBytes() const {
   size_t total = 0;
   for (const Message& message : messages) total += message.der.size();
   return total;
}

size_t Corpus::xmlBytes() const {
   size_t total = 0;
   for (const Message& message : messages) total += message.xml.size();
   return total;
}

std::string typeOfFixture(const std::string& fileName) {
   std::string prefix = fileName.substr(0, fileName.find('_'));
   for (const TopLevelType& row : kTopLevelTypes) {
      std::string lower = row.name;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (prefix == lower) return row.name;
   }
   return "";
}

Message makeMessage(const std::string& name, const std::string& type, const std::string& der) {
   XerDerConverterSimple converter(type);
   CACMPT_BLOB blob(reinterpret_cast<const unsigned char*>(der.data()),
                    static_cast<uint32_t>(der.size()));
   Message message{name, type, der, ""};
   try {
      message.xml = converter.toXer(blob, false);
      CACMPT_BLOB back = converter.toDer(message.xml);
      if (back.length != der.size())
         throw std::runtime_error("DER of another length after the round trip");
   } catch (const std::exception& e) {
      throw std::runtime_error(name + " (" + type + "): " + e.what());
   } catch (...) {
      throw std::runtime_error(name + " (" + type + "): conversion failed");
   }
   return message;
}

std::vector<Message> loadFixtures(const std::string& root) {
   std::vector<fs::path> files;
   for (const auto& entry : fs::recursive_directory_iterator(root))
      if (entry.is_regular_file() && entry.path().extension() == ".der") files.push_back(entry.path());
   std::sort(files.begin(), files.end());

   std::vector<Message> messages;
   for (const fs::path& file : files) {
      std::string type = typeOfFixture(file.filename().string());
      if (type.empty()) continue;
      messages.push_back(makeMessage(fs::relative(file, root).string(), type, readFile(file)));
   }
   if (messages.empty()) throw std::runtime_error("no fixtures below " + root);
   return messages;
}

std::vector<Corpus> groupCorpora(const std::vector<Message>& messages) {
   std::vector<Corpus> corpora;
   for (size_t position = 0; const TopLevelType* row = topLevelTypeAtHelpPosition(position);
        ++position) {
      Corpus corpus{row->name, {}};
      for (const Message& message : messages)
         if (message.type == row->name) corpus.messages.push_back(message);
      if (!corpus.messages.empty()) corpora.push_back(corpus);
   }
   Corpus certs{kCertCorpus, {}};
   for (const Message& message : messages)
      if (message.file.rfind(kCertDirectory, 0) == 0) certs.messages.push_back(message);
   if (!certs.messages.empty()) corpora.push_back(certs);
   return corpora;
}

}
