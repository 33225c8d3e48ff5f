/* measure-memory PEAK-FILE PROGRAM [ARGS...]: runs the program as its own child and writes the child's
   largest resident set, in KB, to PEAK-FILE; exits with the program's exit code. A test process cannot
   measure a child it forks itself: the child's peak would start at the size of the test process. */
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "uso: measure-memory ARCHIVO PROGRAMA [ARGUMENTOS...]\n");
    return 2;
  }
  const pid_t child = fork();
  if (child < 0) {
    return 127;
  }
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) < 0) {
    return 127;
  }
  FILE* out = fopen(argv[1], "w");
  if (out == NULL) {
    return 127;
  }
  fprintf(out, "%ld\n", usage.ru_maxrss);
  fclose(out);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
