/*
 * blobxml / xmlblob: converts one DER message to XER, or one XER message to
 * DER, as chosen by the name under which the program was started.
 */
#include <cstdio>
#include <cstring>
#include <string>

#include "conversionStep.h"
#include "innerMessage.h"
#include "typeRegistry.h"

/* The message as read from the input file, or the inner message that -t1
   put in its place. */
static unsigned char msgbuf[65536];

static void usage(bool xerToDer) {
   std::printf("usage: %s [-notrace] [-[i|t] <arg>] \n", xerToDer ? "xmlblob" : "blobxml");
   std::puts("   -i <filename>  read encoded msg from <filename>");
   std::puts("   -t <type_name>  treat encoded msg as <type_name>");
   std::puts("      (CertificationRequest, Certificate)");
   std::puts("   -t1 <type_name> get encoded msg from contents");
   std::puts("      of other encoded msg (TimeStampResp)");
   std::puts("   -o <filename>  write DER-encoded inner msg to <filename>");
   std::puts("      (used with -t1)");
   std::puts("   -notrace  do not display trace info");
   if (!xerToDer) std::puts("   -includeEncoded  include hex-printed encoded value of der into xer");
   std::puts("   Supported types:");
   for (size_t position = 0; const TopLevelType* row = topLevelTypeAtHelpPosition(position);
        ++position)
      std::printf("\t%s\n", row->name);
}

/* Only the last component of the start name counts; a backslash separates
   components as well as a slash. */
static bool startedAsXmlBlob(const char* startName) {
   std::string name = startName != nullptr ? startName : "";
   size_t separator = name.find_last_of("/\\");
   return name.find("xmlblob", separator == std::string::npos ? 0 : separator) != std::string::npos;
}

int main(int argc, char** argv) {
   bool xerToDer = startedAsXmlBlob(argc > 0 ? argv[0] : nullptr);
   if (argc < 2) {
      usage(xerToDer);
      return 0;
   }

   const char* inFileName = "message.dat";
   const char* outFileName = nullptr;
   const char* typeName = "CertificationRequest";
   const char* outerTypeName = "";
   bool includeEncoded = false;
   for (int i = 1; i < argc; ++i) {
      const char* word = argv[i];
      const char** value = nullptr;
      if (std::strcmp(word, "-i") == 0) value = &inFileName;
      else if (std::strcmp(word, "-o") == 0) value = &outFileName;
      else if (std::strcmp(word, "-t") == 0) value = &typeName;
      else if (std::strcmp(word, "-t1") == 0) value = &outerTypeName;
      else if (std::strcmp(word, "-includeEncoded") == 0) includeEncoded = true;
      else if (std::strcmp(word, "-notrace") != 0) {
         usage(xerToDer);
         return 0;
      }
      if (value != nullptr) {
         /* A value option with no word after it is treated as a misuse. */
         if (i + 1 == argc) {
            usage(xerToDer);
            return 0;
         }
         *value = argv[++i];
      }
   }

   if (xerToDer && includeEncoded) {
      std::puts("Option -includeEncoded can be used in blobxml only.");
      return 0;
   }

   FILE* in = std::fopen(inFileName, "rb");
   if (in == nullptr) {
      std::printf("Error opening %s for read access\n", inFileName);
      return -1;
   }
   uint32_t length = static_cast<uint32_t>(std::fread(msgbuf, 1, sizeof(msgbuf), in));
   std::fclose(in);

   if (outerTypeName[0] != '\0' &&
       !extractInnerMessage(msgbuf, &length, typeName, outerTypeName, outFileName))
      return -1;

   return runConversionStep(xerToDer, typeName, includeEncoded, msgbuf, length) ? 0 : -1;
}
