// File-system probes and removals of the script entry, on UTF-16 paths.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

// Attribute bits as the system reports them.
constexpr int32_t kAttrReadOnly = 0x01;
constexpr int32_t kAttrDirectory = 0x10;
constexpr int32_t kAttrArchive = 0x20;
constexpr int32_t kAttrNormal = 0x80;
constexpr int32_t kAttrOpenable = 0x80;   // probe: the file can be opened
constexpr int32_t kAttrCreatable = 0x40;  // probe: the file can be created
constexpr int32_t kAttrNone = -1;

// The attribute bits of a file or folder, -1 when there is none.
int32_t fileAttributes(TextView path);
bool isFolder(TextView path);
// The attribute bits of a file selected by mask (-1: all of them), -1 when
// none is set; with probe and mask 0, whether the file can be opened
// (kAttrOpenable) or created (kAttrCreatable).
int32_t fileAttr(TextView name, int32_t mask, bool probe);

// Removes one file; false when there was none or it stays.
bool removeFile(TextView path);
// Removes the files of a folder whose names end with extension (any case,
// with its point); gives how many went.
int removeFilesWithExtension(TextView folder, TextView extension);
// Removes the files of a folder whose names start with prefix and end with
// extension (any case); gives how many went.
int removeFilesMatching(TextView folder, TextView prefix, TextView extension);
// Creates a folder (and the folders above it) when missing; false when it
// does not exist afterwards.
bool ensureFolder(TextView path);

}  // namespace quadrel
