/* Loaded into a program with LD_PRELOAD, makes every rename take from 1 to 6 milliseconds, a different
   time each call, so that two runs started together publish their tables at the same time and in an
   order that changes from table to table: a test then sees whether their tables could mix. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

static void pause_a_little(void) {
  static unsigned int state = 0;
  if (state == 0) {
    state = (unsigned int)getpid() * 2654435761u + 1u;
  }
  state = state * 1103515245u + 12345u;
  const struct timespec pause = {0, (long)(1 + (state >> 16) % 6) * 1000 * 1000};
  nanosleep(&pause, NULL);
}

int rename(const char* from, const char* to) {
  int (*real)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  pause_a_little();
  return real(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
  int (*real)(int, const char*, int, const char*, unsigned int) =
      (int (*)(int, const char*, int, const char*, unsigned int))dlsym(RTLD_NEXT, "renameat2");
  pause_a_little();
  return real(fromDir, from, toDir, to, flags);
}
