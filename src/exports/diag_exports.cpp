// Exports of the message channel, the debug log, the version and about
// texts, and the string-passing tests.
#include "core/diag/debug_log.h"
#include "core/diag/log_export.h"
#include "core/diag/string_passing.h"
#include "exports/export_support.h"

using namespace quadrel;

namespace {

// The fixed texts the string-passing tests hand back.
constexpr char16_t kTestStr[] = u"123";
constexpr char16_t kTestStrPtr[] = u"aaaaaaaaaaa";      // 11 characters
constexpr char16_t kTestStrPtr2[] = u"aaaaaaaaaaaaaa";  // 14 characters

// DisplayVerInfo's answers.
constexpr int32_t kVersionWritten = 2;
constexpr int32_t kNoVersion = 0;

const qd_char* outConst(const char16_t* p) { return reinterpret_cast<const qd_char*>(p); }

void writeTo(qd_char* address, TextView text) {
  if (address)
    copyOut(address, int64_t(text.size()), text);
}

void copyVersion(qd_char* buffer, const Text& version) {
  // At most four five-digit numbers and three dots: 23 characters.
  if (buffer)
    copyOut(buffer, 23, version);
}

}  // namespace

extern "C" {

QD_API int32_t QD_CALL SetDebugF(int32_t mode) {
  return guarded<int32_t>(0, [&] { return engine().messages.setMode(mode); });
}

QD_API int32_t QD_CALL ShowMsgs(int32_t level) {
  return guarded<int32_t>(0, [&] {
    MessageChannel& channel = engine().messages;
    channel.showLevel = level;
    if (level == 2)
      channel.setMode(kMsgAccept);
    return int32_t(0);
  });
}

QD_API int32_t QD_CALL GetDebugLog(qd_char* buffer, int32_t count, uint8_t show) {
  return guarded<int32_t>(
      0, [&] { return exportDebugLog(engine(), reinterpret_cast<char16_t*>(buffer), count, show != 0); });
}

QD_API int32_t QD_CALL DisplayVerInfo(const qd_char* fileName, qd_char* fileVersionOut, qd_char* productVersionOut) {
  return guarded<int32_t>(kNoVersion, [&] {
    Text fileVersion, productVersion;
    if (!fileVersionText(engine(), in(fileName), fileVersion, productVersion))
      return kNoVersion;
    copyVersion(fileVersionOut, fileVersion);
    copyVersion(productVersionOut, productVersion);
    return kVersionWritten;
  });
}

QD_API const qd_char* QD_CALL aAbout(int32_t flag) {
  return guarded<const qd_char*>(outConst(u""), [&] {
    Engine& e = engine();
    aboutText(e, flag != 0);
    return out(e.diag.aboutText);
  });
}

QD_API const qd_char* QD_CALL TestStr(const qd_char* text) {
  return guarded<const qd_char*>(outConst(kTestStr), [&] {
    stringPassingBoxes(engine(), u"TestStr", in(text), kTestStr);
    return outConst(kTestStr);
  });
}

QD_API qd_char* QD_CALL TestStrPtr(qd_char* address) {
  return guarded<qd_char*>(address, [&] {
    stringPassingBoxes(engine(), u"TestStrPtr", in(address), kTestStrPtr);
    writeTo(address, kTestStrPtr);
    return address;
  });
}

QD_API const qd_char* QD_CALL TestStrPtr2(qd_char* address) {
  return guarded<const qd_char*>(outConst(kTestStrPtr2), [&] {
    stringPassingBoxes(engine(), u"TestStrPtr2", in(address), kTestStrPtr2);
    writeTo(address, kTestStrPtr2);
    return outConst(kTestStrPtr2);
  });
}

}  // extern "C"
