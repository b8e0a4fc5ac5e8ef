#include "core/script/script_file.h"

#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/text/path_text.h"
#include "core/text/text_files.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr char16_t kCaption[] = u"Quadrel";
constexpr char16_t kRefusedTail[] = u"\r\nUnable to convert the file. Try to save it in ASCII, UTF8 or Unicode format.";
constexpr char16_t kDialogTitle[] = u"Open File";
constexpr char16_t kDialogFilter[] = u"Text (*.txt)|*.txt|All files (*.*)|*.*";

bool startsWith(std::string_view bytes, std::initializer_list<unsigned char> mark) {
  if (bytes.size() < mark.size())
    return false;
  size_t k = 0;
  for (unsigned char m : mark)
    if (static_cast<unsigned char>(bytes[k++]) != m)
      return false;
  return true;
}

Text fromUtf16Le(std::string_view bytes) {
  Text r;
  r.reserve(bytes.size() / 2);
  // An odd last byte cannot form a character and is left out.
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    r.push_back(char16_t(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return r;
}

// Every line, whatever its end ("\n", "\r\n" or "\r"), followed by "\r\n".
Text withCrLfLines(TextView decoded) {
  Text r;
  r.reserve(decoded.size() + decoded.size() / 16 + 2);
  size_t at = 0;
  while (at < decoded.size()) {
    size_t end = decoded.find_first_of(u"\r\n", at);
    if (end == TextView::npos)
      end = decoded.size();
    r.append(decoded.substr(at, end - at));
    r.append(u"\r\n");
    at = end;
    if (at < decoded.size() && decoded[at] == u'\r')
      ++at;
    if (at < decoded.size() && decoded[at] == u'\n')
      ++at;
  }
  return r;
}

void showBox(Engine& e, TextView text) { e.platform.messageBox(kCaption, text, BoxButtons::Ok, BoxIcon::None); }

void showBox(Engine& e, TextView message, TextView name) {
  Text text(message);
  text.append(name);
  showBox(e, text);
}

}  // namespace

ReadResult decodeText(Engine& e, std::string_view bytes, Text& text, Text& refusal) {
  // Four-byte marks first: FF FE 00 00 also starts like the UTF-16 mark.
  if (startsWith(bytes, {0xFF, 0xFE, 0x00, 0x00})) {
    refusal = u"UTF-32 (little endian) BOM detected.";
  } else if (startsWith(bytes, {0x00, 0x00, 0xFE, 0xFF})) {
    refusal = u"UTF-32 (big endian) BOM detected.";
  } else if (startsWith(bytes, {0xFE, 0xFF})) {
    refusal = u"UTF-16 (big endian) BOM detected.";
  } else {
    Text decoded;
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF}))
      decoded = fromUtf8(bytes.substr(3));
    else if (startsWith(bytes, {0xFF, 0xFE}))
      decoded = fromUtf16Le(bytes.substr(2));
    else if (isValidUtf8(bytes))
      decoded = fromUtf8(bytes);  // plain ASCII lands here too
    else
      decoded = e.platform.ansiToText(bytes);
    text = withCrLfLines(decoded);
    return ReadResult::Ok;
  }
  text.clear();
  return ReadResult::RefusedEncoding;
}

ReadResult readTextFile(Engine& e, TextView path, Text& text, Text& refusal) {
  std::string bytes;
  switch (readFileBytes(path, bytes)) {
    case FileRead::OpenFailed: return ReadResult::OpenFailed;
    case FileRead::TooLarge: text.clear(); return ReadResult::TooLarge;
    case FileRead::Ok: break;
  }
  return decodeText(e, bytes, text, refusal);
}

Text refuseTooLarge(Engine& e, TextView procedure, TextView path) {
  const Text limit = u"Limit: a text file may hold at most " + intText(int64_t(kMaxTextFileBytes >> 20)) + u" MiB (" +
                     intText(int64_t(kMaxTextFileBytes)) + u" bytes)\r\n";
  raise(e, kErrInvalidArgument, procedure, 0, limit + u"File: " + Text(path) + u"\r\n");
  return limit;
}

bool writeTextFile(TextView path, TextView text, bool append) {
  return writeUtf8File(path, text, append ? WriteMode::AppendExisting : WriteMode::Replace);
}

bool loadTextFile(Engine& e, TextView path, TextView openError, Text& text) {
  Text refusal;
  switch (readTextFile(e, path, text, refusal)) {
    case ReadResult::OpenFailed: showBox(e, openError, path); return false;
    case ReadResult::TooLarge: showBox(e, openError, refuseTooLarge(e, u"LoadFile", path) + Text(path)); return false;
    case ReadResult::RefusedEncoding:
      refusal.append(kRefusedTail);
      showBox(e, refusal);
      return true;
    case ReadResult::Ok: return true;
  }
  return true;
}

Text commandListPath(Engine& e) {
  Text path(folderPart(e.platform.libraryPath()));
  path.append(u"ShowCmds.otm");
  return path;
}

bool saveOutputFile(Engine& e, TextView path, TextView text, bool append) {
  bool written;
  if (append) {
    // What is appended starts on a line of its own, even after a text that
    // ends without a line end (the closing line of a file run has none).
    std::string before;
    const bool needsLineEnd = readFileBytes(path, before) == FileRead::Ok && !before.empty() && before.back() != '\n' &&
                              before.back() != '\r';
    written = writeUtf8File(path, needsLineEnd ? u"\r\n" + Text(text) : Text(text), WriteMode::AppendExisting);
    if (!written)
      showBox(e, u"Error 5: can't open the file\r\n", path);
  } else {
    written = writeUtf8File(path, text, WriteMode::Replace);
  }
  if (!written)
    showBox(e, u"Error 9: can't write the file\r\n", path);
  return written;
}

Text askFileName(Engine& e) {
  Text name = e.platform.openFileDialog(kDialogTitle, kDialogFilter, u"");
  if (name.empty())
    showBox(e, u"Error 1: Operation cancelled by user.");
  return name;
}

bool saveTextAs(Engine& e, TextView text) {
  const Text name = e.platform.openFileDialog(kDialogTitle, kDialogFilter, u"");
  if (!name.empty() && writeUtf8File(name, text, WriteMode::Replace))
    return true;
  showBox(e, u"Error 3: can't write the file\r\n", name);
  return false;
}

}  // namespace quadrel
