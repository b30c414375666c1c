/*
 * Writes the seed corpora of the harnesses from the DER fixtures, whose file
 * names start with their top-level type in lower case and a '_':
 *   <out>/der/<dir>_<name>  the type byte and the DER message;
 *   <out>/der/<dir>_<name>_indefinite  the same message as BER with every
 *                           constructed element in the indefinite form;
 *   <out>/xml/<dir>_<name>  the type byte and the XML the converter writes;
 *   <out>/xml.dict          every element tag of those documents, as a
 *                           libFuzzer dictionary for the XML harness.
 * Usage: make_seeds <fixture directory> <output directory>
 */
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "roundTripOracle.h"

namespace fs = std::filesystem;

namespace {

/* The index of the type whose lower-case name starts the file name, or -1. */
int typeIndexOf(const std::string& stem) {
   std::string prefix = stem.substr(0, stem.find('_'));
   for (size_t i = 0; i < kTopLevelTypes.count; ++i) {
      std::string name = kTopLevelTypes.rows[i].name;
      std::transform(name.begin(), name.end(), name.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (name == prefix) return static_cast<int>(i);
   }
   return -1;
}

std::string readFile(const fs::path& path) {
   std::ifstream in(path, std::ios::binary);
   return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFile(const fs::path& path, const std::string& bytes) {
   std::ofstream out(path, std::ios::binary | std::ios::trunc);
   out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
   return static_cast<bool>(out);
}

/* The elements of der[pos, end) with every constructed one rewritten in the
   indefinite-length form (X.690 8.1.3.6), appended to out; false when der
   is not a sequence of complete definite-length elements. */
bool appendIndefinite(const std::string& der, size_t pos, size_t end, std::string& out) {
   auto octet = [&](size_t at) { return static_cast<unsigned char>(der[at]); };
   while (pos < end) {
      const size_t start = pos;
      const bool constructed = (octet(pos) & 0x20) != 0;
      if ((octet(pos++) & 0x1F) == 0x1F) {
         while (pos < end && (octet(pos) & 0x80)) ++pos;
         ++pos;
      }
      const size_t identifierEnd = pos;
      if (pos >= end) return false;
      size_t length = octet(pos++);
      if (length == 0x80) return false;
      if (length > 0x80) {
         size_t count = length & 0x7F;
         if (count > 4 || end - pos < count) return false;
         length = 0;
         while (count-- > 0) length = (length << 8) | octet(pos++);
      }
      if (end - pos < length) return false;
      if (constructed) {
         out += der.substr(start, identifierEnd - start);
         out += '\x80';
         if (!appendIndefinite(der, pos, pos + length, out)) return false;
         out += std::string(2, '\0');
      } else {
         out += der.substr(start, pos + length - start);
      }
      pos += length;
   }
   return true;
}

/* Start and end tags of the document ("<name>" and "</name>"). */
void collectTags(const std::string& xml, std::set<std::string>& tags) {
   for (size_t open = xml.find('<'); open != std::string::npos; open = xml.find('<', open + 1)) {
      size_t close = xml.find('>', open);
      if (close == std::string::npos) break;
      if (xml[open + 1] != '?') tags.insert(xml.substr(open, close - open + 1));
   }
}

}

int main(int argc, char** argv) {
   if (argc != 3) {
      std::fprintf(stderr, "usage: make_seeds <fixture directory> <output directory>\n");
      return 2;
   }
   const fs::path fixtures = argv[1], out = argv[2];
   fs::create_directories(out / "der");
   fs::create_directories(out / "xml");
   std::set<std::string> tags;
   int derSeeds = 0, xmlSeeds = 0;
   for (const auto& entry : fs::recursive_directory_iterator(fixtures)) {
      if (entry.path().extension() != ".der") continue;
      std::string stem = entry.path().stem().string();
      int type = typeIndexOf(stem);
      if (type < 0) continue;
      std::string name = entry.path().parent_path().filename().string() + "_" + stem;
      std::string der = readFile(entry.path());
      std::string typeByte(1, static_cast<char>(type));
      if (!writeFile(out / "der" / name, typeByte + der)) return 1;
      ++derSeeds;
      std::string ber;
      if (appendIndefinite(der, 0, der.size(), ber) &&
          !writeFile(out / "der" / (name + "_indefinite"), typeByte + ber))
         return 1;
      std::string xml;
      try {
         XerDerConverterSimple converter(kTopLevelTypes.rows[type].name);
         CACMPT_BLOB blob(reinterpret_cast<const unsigned char*>(der.data()),
                          static_cast<uint32_t>(der.size()));
         xml = converter.toXer(blob, false);
      } catch (const std::exception& e) {
         std::fprintf(stderr, "make_seeds: %s: no XML seed: %s\n", name.c_str(), e.what());
         continue;
      }
      if (!writeFile(out / "xml" / name, typeByte + xml)) return 1;
      ++xmlSeeds;
      collectTags(xml, tags);
   }

   std::string dictionary;
   for (const std::string& tag : tags) {
      dictionary += '"';
      for (char c : tag) {
         if (c == '"' || c == '\\') dictionary += '\\';
         dictionary += c;
      }
      dictionary += "\"\n";
   }
   if (!writeFile(out / "xml.dict", dictionary)) return 1;
   std::printf("make_seeds: %d DER seeds, %d XML seeds, %zu dictionary entries\n", derSeeds,
               xmlSeeds, tags.size());
   return derSeeds > 0 && xmlSeeds == derSeeds ? 0 : 1;
}
