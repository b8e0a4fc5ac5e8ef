#include "core/script/script_file.h"

#include "core/engine.h"
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

// Modes 1, 2 and 6: the file into the script text.
void readIntoScript(Engine& e, TextView path, TextView openError) {
  Text text, refusal;
  switch (readTextFile(e, path, text, refusal)) {
    case ReadResult::OpenFailed:
      showBox(e, openError, path);
      e.script.status = kStatusOpenError;
      return;
    case ReadResult::RefusedEncoding:
      refusal.append(kRefusedTail);
      showBox(e, refusal);
      e.script.scriptText.clear();
      return;
    case ReadResult::Ok: e.script.scriptText = std::move(text); return;
  }
}

// Mode 7: the script text to the output file, replacing it or appending.
void saveToOutput(Engine& e) {
  const RunSettings& s = e.script.settings;
  const Text& text = e.script.scriptText;
  bool written;
  if (s.append) {
    // What is appended starts on a line of its own, even after a text that
    // ends without a line end (the closing line of a file run has none).
    std::string before;
    const bool needsLineEnd =
        readFileBytes(s.outputFile, before) && !before.empty() && before.back() != '\n' && before.back() != '\r';
    written = writeUtf8File(s.outputFile, needsLineEnd ? u"\r\n" + text : text, WriteMode::AppendExisting);
    if (!written)
      showBox(e, u"Error 5: can't open the file\r\n", s.outputFile);
  } else {
    written = writeUtf8File(s.outputFile, text, WriteMode::Replace);
  }
  if (!written) {
    showBox(e, u"Error 9: can't write the file\r\n", s.outputFile);
    e.script.status = kStatusWriteError;
  }
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
  if (!readFileBytes(path, bytes))
    return ReadResult::OpenFailed;
  return decodeText(e, bytes, text, refusal);
}

bool writeTextFile(TextView path, TextView text, bool append) {
  return writeUtf8File(path, text, append ? WriteMode::AppendExisting : WriteMode::Replace);
}

int32_t loadSaveFile(Engine& e, int mode) {
  ScriptState& s = e.script;
  switch (mode) {
    case 1: readIntoScript(e, s.settings.logFileName, u"Error 7: can't read the file\r\n"); break;
    case 2: {
      Text path(folderPart(e.platform.libraryPath()));
      path.append(u"ShowCmds.otm");
      readIntoScript(e, path, u"Error 8: can't read the file\r\n");
      break;
    }
    case 4: {
      Text name = e.platform.openFileDialog(kDialogTitle, kDialogFilter);
      if (name.empty()) {
        showBox(e, u"Error 1: Operation cancelled by user.");
        s.status = kStatusCancelled;
      } else {
        s.scriptText = std::move(name);
      }
      break;
    }
    case 6: readIntoScript(e, s.settings.inputFile, u"Error 4: can't read the file\r\n"); break;
    case 7: saveToOutput(e); break;
    case 8: {
      const Text name = e.platform.openFileDialog(kDialogTitle, kDialogFilter);
      if (!name.empty() && writeUtf8File(name, s.scriptText, WriteMode::Replace)) {
        s.status = kStatusOk;
      } else {
        showBox(e, u"Error 3: can't write the file\r\n", name);
        s.status = kStatusWriteError;
      }
      break;
    }
    default: break;
  }
  return s.status;
}

}  // namespace quadrel
