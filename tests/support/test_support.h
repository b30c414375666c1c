/* Shared helpers of the test suite: running a program with captured output,
   reading and writing files, and scratch directories. */
#ifndef BLOBXML_TEST_SUPPORT_H
#define BLOBXML_TEST_SUPPORT_H

#include <string>
#include <vector>

namespace testsupport {

struct RunResult {
   std::string out; /* standard output, byte for byte */
   std::string err; /* standard error, byte for byte */
   int status = -1; /* exit status, or -1 when the program did not exit normally */
};

/* Runs `program` with argv[0] set to `argv0` and the given arguments in the
   directory `cwd` (the current one when empty); standard input is empty. */
RunResult run(const std::string& program, const std::string& argv0,
              const std::vector<std::string>& args, const std::string& cwd = "");

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& data);

/* A fresh empty directory below the build tree, named after the test. */
std::string scratchDir(const std::string& name);

/* Paths of the installed executables and of the source tree. */
std::string installedBin(const std::string& name);
std::string sourcePath(const std::string& relative);

std::string toHex(const std::string& bytes);
std::string fromHex(const std::string& hex);

}

#endif
