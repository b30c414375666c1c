#include "test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace testsupport {

RunResult run(const std::string& program, const std::string& argv0,
              const std::vector<std::string>& args, const std::string& cwd) {
   const std::string dir = scratchDir("run-capture"), outPath = dir + "/out",
                     errPath = dir + "/err";
   posix_spawn_file_actions_t actions;
   posix_spawn_file_actions_init(&actions);
   posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
   posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                    0644);
   posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                    0644);

   const std::string absProgram = std::filesystem::absolute(program).string();
   const std::string oldCwd = std::filesystem::current_path().string();
   if (!cwd.empty()) std::filesystem::current_path(cwd);
   std::vector<std::string> words{argv0};
   words.insert(words.end(), args.begin(), args.end());
   std::vector<char*> argv;
   for (auto& w : words) argv.push_back(w.data());
   argv.push_back(nullptr);
   pid_t pid = 0;
   const int rc = posix_spawn(&pid, absProgram.c_str(), &actions, nullptr, argv.data(), environ);
   posix_spawn_file_actions_destroy(&actions);
   std::filesystem::current_path(oldCwd);
   if (rc != 0) throw std::runtime_error("cannot start " + absProgram);

   int wstatus = 0;
   waitpid(pid, &wstatus, 0);
   return {readFile(outPath), readFile(errPath), WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1};
}

std::string readFile(const std::string& path) {
   std::ifstream in(path, std::ios::binary);
   if (!in) throw std::runtime_error("cannot read " + path);
   return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& data) {
   std::ofstream out(path, std::ios::binary | std::ios::trunc);
   if (!out) throw std::runtime_error("cannot write " + path);
   out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string scratchDir(const std::string& name) {
   std::filesystem::path dir = std::filesystem::path(BLOBXML_BINARY_DIR) / "test-scratch" /
                               (name + "-" + std::to_string(getpid()));
   std::filesystem::remove_all(dir);
   std::filesystem::create_directories(dir);
   return dir.string();
}

std::string installedBin(const std::string& name) {
   return std::string(BLOBXML_TEST_INSTALL_DIR) + "/bin/" + name;
}

std::string sourcePath(const std::string& relative) {
   return std::string(BLOBXML_SOURCE_DIR) + "/" + relative;
}

std::string toHex(const std::string& bytes) {
   static const char digits[] = "0123456789ABCDEF";
   std::string hex;
   for (unsigned char c : bytes) hex += {digits[c >> 4], digits[c & 15]};
   return hex;
}

std::string fromHex(const std::string& hex) {
   std::string bytes;
   int high = -1;
   for (char c : hex) {
      if (c == ' ' || c == '\n') continue;
      int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
      if (v < 0) throw std::runtime_error("bad hex digit in test data");
      if (high < 0) high = v;
      else { bytes += static_cast<char>(high * 16 + v); high = -1; }
   }
   return bytes;
}

}
