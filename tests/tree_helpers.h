// Reading a tree view's nodes in tests, through the same calls on the host's model and under Wine.
#pragma once

#include <vector>

#include "platform/controls.h"
#include "platform/text.h"

namespace tree_helpers {

// The node's label.
inline WString Text(platform::WindowHandle tree, platform::TreeItem item) {
  WChar t[260] = {};
  platform::TreeRead(tree, item, platform::kTvifText, t, 260, nullptr, nullptr, nullptr);
  return t;
}

// The labels of the nodes under `parent` (the top when null), in the tree's order.
inline std::vector<WString> Children(platform::WindowHandle tree, platform::TreeItem parent) {
  std::vector<WString> out;
  for (platform::TreeItem i = platform::TreeNext(tree, parent, platform::kTvgnChild); i;
       i = platform::TreeNext(tree, i, platform::kTvgnNext))
    out.push_back(Text(tree, i));
  return out;
}

// The first node labelled `text` under `parent` (the top when null); null when there is none.
inline platform::TreeItem Node(platform::WindowHandle tree, const WString& text, platform::TreeItem parent) {
  for (platform::TreeItem i = platform::TreeNext(tree, parent, platform::kTvgnChild); i;
       i = platform::TreeNext(tree, i, platform::kTvgnNext))
    if (Text(tree, i) == text) return i;
  return nullptr;
}

// The node's children flag (1: it shows a button), -1 when it cannot be read.
inline int ChildrenFlag(platform::WindowHandle tree, platform::TreeItem node) {
  int children = -1;
  platform::TreeRead(tree, node, platform::kTvifChildren, nullptr, 0, nullptr, nullptr, &children);
  return children;
}

}  // namespace tree_helpers
