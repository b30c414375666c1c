/*
 * Exceptions of the converters. The what() text names the message and the
 * source location that threw: "Exception :'<message>' at file:'<file>' line:<n>".
 */
#ifndef BLOBXML_CAEXCEPTION_H
#define BLOBXML_CAEXCEPTION_H

#include <stdexcept>
#include <string>

#include "codecFailure.h"

class CAException : public std::runtime_error {
public:
   CAException(const char* message, const char* file, int line);

   const std::string file; /* source file of the throwing statement */
   const int line;         /* its line */
};

/* Thrown where an ASN.1 decode or encode returned a failure status; its
   message is the context's error text, which says nothing, so the failure
   tells the status and, for a decode, where the input failed. */
class Asn1Exception : public CAException, public CodecFailure {
public:
   Asn1Exception(const char* message, const char* file, int line,
                 const CodecFailure& failure = CodecFailure())
      : CAException(message, file, line), CodecFailure(failure) {}
};

/* The name of a source file without its directories, so that exception texts
   do not depend on where the tree was built (pass __FILE__). */
constexpr const char* sourceFileName(const char* path) {
   const char* name = path;
   for (const char* p = path; *p != '\0'; ++p)
      if (*p == '/' || *p == '\\') name = p + 1;
   return name;
}

#endif
