/*
 * Builds the what() text of the converters' exceptions.
 */
#include "caException.h"

static std::string describe(const char* message, const char* file, int line) {
   std::string text = "Exception :'";
   text += message != nullptr ? message : "";
   text += "' at file:'";
   text += file != nullptr ? file : "";
   text += "' line:";
   text += std::to_string(line);
   return text;
}

CAException::CAException(const char* message, const char* file, int line)
   : std::runtime_error(describe(message, file, line)), file(file != nullptr ? file : ""),
     line(line) {}
