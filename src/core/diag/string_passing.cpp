#include "core/diag/string_passing.h"

#include "core/engine.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

void showOne(Engine& e, TextView name, char16_t number, TextView text) {
  Text caption(name);
  caption.push_back(u' ');
  caption.push_back(number);
  Text body = u"st.s=.";
  body.append(text);
  body.push_back(u'.');
  e.platform.messageBox(caption, body, BoxButtons::Ok, BoxIcon::None);
}

}  // namespace

void stringPassingBoxes(Engine& e, TextView name, TextView received, TextView sent) {
  showOne(e, name, u'1', received);
  showOne(e, name, u'2', sent);
}

}  // namespace quadrel
