/* Whole-file helpers shared by the ABI test programs. */
#ifndef QUADREL_ABI_FILES_H
#define QUADREL_ABI_FILES_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Writes bytes as the whole file; 0 on failure. */
static int write_file(const char* path, const char* bytes) {
  FILE* f = fopen(path, "wb");
  if (!f) return 0;
  size_t n = strlen(bytes);
  int ok = fwrite(bytes, 1, n, f) == n;
  return fclose(f) == 0 && ok;
}

/* The whole file, zero-terminated, in a malloc'ed block; NULL when unreadable. */
static char* read_file(const char* path) {
  FILE* f = fopen(path, "rb");
  if (!f) return NULL;
  size_t size = 0, room = 4096;
  char* data = malloc(room);
  for (size_t got; data && (got = fread(data + size, 1, room - size - 1, f)) > 0;) {
    size += got;
    if (room - size - 1 == 0) {
      char* bigger = realloc(data, room *= 2);
      if (!bigger) free(data);
      data = bigger;
    }
  }
  fclose(f);
  if (data) data[size] = 0;
  return data;
}

#endif
