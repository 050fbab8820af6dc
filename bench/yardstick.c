/* The yardstick: the least a program can do to patch each named map and print
 * the same lines. stat, open, pwrite and close per name; no checks beyond them.
 * Built with -DSAFETY_CALLS it makes the calls the tool makes for its safety
 * rules too, and in the same form: lstat for stat, access before the open,
 * the open without following a last link, fstat after it.
 * BANNER, the tool's own, comes from the build. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef SAFETY_CALLS
#define QUERY lstat
#define OPEN_FLAGS (O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW)
#else
#define QUERY stat
#define OPEN_FLAGS O_WRONLY
#endif

int main(int argc, char **argv) {
  fputs(BANNER, stdout);
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
    if (QUERY(argv[i], &st) != 0) {
      printf("failed, file not found\n");
    }
#ifdef SAFETY_CALLS
    else if (faccessat(AT_FDCWD, argv[i], W_OK, AT_EACCESS) != 0) {
      printf("failed, no write permission\n");
    }
#endif
    else if ((fd = open(argv[i], OPEN_FLAGS)) < 0) {
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
