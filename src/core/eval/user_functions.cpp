#include "core/eval/user_functions.h"

#include <unordered_map>
#include <vector>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/lexer.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"

namespace quadrel {

namespace {

FunctionIndex& indexFor(Engine& e) {
  FunctionIndex& ix = e.eval.functionIndex;
  if (ix.generation != e.functions.generation()) {
    ix.byName.clear();
    ix.longestName = 0;
    const auto& entries = e.functions.entries();
    for (size_t k = 0; k < entries.size(); ++k) {
      ix.byName.emplace(toLower(entries[k].name), int(k));
      ix.longestName = std::max(ix.longestName, entries[k].name.size());
    }
    ix.generation = e.functions.generation();
  }
  return ix;
}

int lookup(const FunctionIndex& ix, TextView name) {
  if (name.size() > ix.longestName)
    return -1;
  char16_t buf[64];
  Text heap;
  TextView key;
  if (name.size() <= 64) {
    for (size_t k = 0; k < name.size(); ++k) buf[k] = lowerAscii(name[k]);
    key = TextView(buf, name.size());
  } else {
    heap = toLower(name);
    key = heap;
  }
  auto it = ix.byName.find(key);
  return it == ix.byName.end() ? -1 : it->second;
}

void reportCycle(Engine& e, TextView name) {
  Text extra = u"sFuncts: " + e.functions.listText() + u"\r\nFunct: ";
  extra.append(name);
  fail(e, {kErrAmbiguousFunction, u"CheckFunctions", 610, extra}, Pending::Replaced);
}

// The functions a body names, as indices.
void calls(const FunctionIndex& ix, TextView body, std::vector<int>& out) {
  out.clear();
  for (size_t i = 0; i < body.size();) {
    const TokenSpan t = scanToken(body, i);
    if (t.kind == Lexeme::Identifier) {
      int k = lookup(ix, body.substr(t.start, t.end - t.start));
      if (k >= 0)
        out.push_back(k);
    }
    i = t.end;
  }
}

// First function in list order that lies on a cycle of calls, or -1.
// Iterative Tarjan, so long chains of definitions cannot exhaust the stack.
int firstCyclicFunction(Engine& e) {
  const auto& entries = e.functions.entries();
  const FunctionIndex& ix = indexFor(e);
  const int n = int(entries.size());
  std::vector<std::vector<int>> edges(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) calls(ix, entries[size_t(k)].text, edges[size_t(k)]);

  std::vector<int> order(size_t(n), -1), low(size_t(n), 0), stack;
  std::vector<char> onStack(size_t(n), 0), cyclic(size_t(n), 0);
  int counter = 0;
  struct Frame {
    int node;
    size_t edge;
  };
  std::vector<Frame> work;
  for (int root = 0; root < n; ++root) {
    if (order[size_t(root)] >= 0)
      continue;
    work.push_back({root, 0});
    while (!work.empty()) {
      Frame& f = work.back();
      const size_t v = size_t(f.node);
      if (f.edge == 0 && order[v] < 0) {
        order[v] = low[v] = counter++;
        stack.push_back(f.node);
        onStack[v] = 1;
      }
      if (f.edge < edges[v].size()) {
        const size_t w = size_t(edges[v][f.edge++]);
        if (w == v)
          cyclic[v] = 1;
        if (order[w] < 0) {
          work.push_back({int(w), 0});
        } else if (onStack[w]) {
          low[v] = std::min(low[v], order[w]);
        }
        continue;
      }
      if (low[v] == order[v]) {
        std::vector<int> component;
        int w;
        do {
          w = stack.back();
          stack.pop_back();
          onStack[size_t(w)] = 0;
          component.push_back(w);
        } while (size_t(w) != v);
        if (component.size() > 1)
          for (int c : component) cyclic[size_t(c)] = 1;
      }
      work.pop_back();
      if (!work.empty()) {
        const size_t parent = size_t(work.back().node);
        low[parent] = std::min(low[parent], low[v]);
      }
    }
  }
  for (int k = 0; k < n; ++k)
    if (cyclic[size_t(k)])
      return k;
  return -1;
}

}  // namespace

bool checkUserFunctions(Engine& e) {
  if (e.functions.empty())
    return true;
  if (e.eval.checkedGeneration != e.functions.generation()) {
    e.eval.cyclicFunction = firstCyclicFunction(e);
    e.eval.checkedGeneration = e.functions.generation();
  }
  if (e.eval.cyclicFunction < 0)
    return true;
  reportCycle(e, e.functions.entries()[size_t(e.eval.cyclicFunction)].name);
  return false;
}

bool expandUserFunctions(Engine& e, TextView formula, Text& out) {
  out.clear();
  if (e.functions.empty()) {
    out.assign(formula);
    return true;
  }
  const FunctionIndex& ix = indexFor(e);
  const auto& entries = e.functions.entries();
  struct Frame {
    TextView text;
    size_t pos;
    int function;
  };
  std::vector<Frame> stack;
  std::vector<char>& active = e.eval.expansionActive;
  active.assign(entries.size(), 0);
  stack.push_back({formula, 0, -1});
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.pos >= f.text.size()) {
      if (f.function >= 0) {
        out.push_back(u')');
        active[size_t(f.function)] = 0;
      }
      stack.pop_back();
      continue;
    }
    const TokenSpan t = scanToken(f.text, f.pos);
    const TextView piece = f.text.substr(t.start, t.end - t.start);
    f.pos = t.end;
    const int k = t.kind == Lexeme::Identifier ? lookup(ix, piece) : -1;
    if (k < 0) {
      out.append(piece);
    } else {
      if (active[size_t(k)]) {
        // The report shows the formula as given, not the partial expansion.
        out.assign(formula);
        reportCycle(e, entries[size_t(k)].name);
        return false;
      }
      active[size_t(k)] = 1;
      out.push_back(u'(');
      stack.push_back({entries[size_t(k)].text, 0, k});
    }
    if (out.size() > kMaxExpandedLength) {
      out.assign(formula);
      fail(e, {kErrParserSyntax, u"ExpandFunctions", 640, u"Expanded formula longer than 16777216 characters\r\n"},
           Pending::Replaced);
      return false;
    }
  }
  return true;
}

}  // namespace quadrel
