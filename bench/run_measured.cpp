/*
 * Runs a program and reports what it cost: its peak resident set and its
 * CPU time. The program is started from this small process rather than
 * from the caller, because a child inherits the resident-set high-water
 * mark of the process image it was forked from.
 *
 * usage: blobxml_bench_run <program> [<argument>...]
 *
 * Standard output and error of the program are discarded. Prints
 * "<peak RSS in KB> <user+system CPU time in microseconds> <exit status>".
 */
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
   if (argc < 2) {
      std::fprintf(stderr, "usage: %s <program> [<argument>...]\n", argv[0]);
      return 2;
   }
   pid_t child = fork();
   if (child < 0) {
      std::perror("fork");
      return 1;
   }
   if (child == 0) {
      int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) {
         dup2(devnull, STDOUT_FILENO);
         dup2(devnull, STDERR_FILENO);
      }
      execv(argv[1], argv + 1);
      _exit(127);
   }
   int status = 0;
   struct rusage usage;
   if (wait4(child, &status, 0, &usage) != child) {
      std::perror("wait4");
      return 1;
   }
   long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec +
              usage.ru_stime.tv_usec;
   std::printf("%ld %ld %d\n", usage.ru_maxrss, cpu, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
   return 0;
}
