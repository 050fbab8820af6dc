/* The yardstick: the least a program can do to patch each named map and print
 * the same lines. stat, open, pwrite and close per name; no checks beyond them.
 * Built with -DSAFETY_CALLS it also makes the two calls the tool's safety rules
 * need (access before the open, fstat after it), to show what they cost. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char **argv) {
  printf("__ __Olum2Zavik --- -\n\t- HexadecimalPatch to convert OlumMap into ZavikMap\n\t- ../olum2zavik 1.0\\..\n");
  printf("----------\\..........\n\n");
  for (int i = 1; i < argc; ++i) {
    char name[4096];
    size_t n = strlen(argv[i]);
    if (n >= sizeof name)
      n = sizeof name - 1;
    for (size_t k = 0; k < n; ++k)
      name[k] = (argv[i][k] >= 'a' && argv[i][k] <= 'z') ? (char)(argv[i][k] - 32) : argv[i][k];
    name[n] = '\0';
    printf("Working on file %s : ", name);
    struct stat st;
    int fd;
    if (stat(argv[i], &st) != 0) {
      printf("failed, file not found\n");
    }
#ifdef SAFETY_CALLS
    else if (faccessat(AT_FDCWD, argv[i], W_OK, AT_EACCESS) != 0) {
      printf("failed, no write permission\n");
    }
#endif
    else if ((fd = open(argv[i], O_WRONLY)) < 0) {
      printf("failed, cannot open the file \n");
    } else {
#ifdef SAFETY_CALLS
      fstat(fd, &st);
#endif
      printf(pwrite(fd, "\x2a", 1, 4) == 1 ? "succeed\n" : "failed\n");
      close(fd);
    }
  }
  return 0;
}
