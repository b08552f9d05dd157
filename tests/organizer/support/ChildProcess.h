#pragma once

#include <functional>

namespace kettrim::test {

// Runs `body` in a forked child and returns its exit status (or 128 + signal). The child can take on limits
// or drop root's privileges without touching the test process; as root, permission tests need that.
int RunInChild(const std::function<int()>& body);

// In a child: become the unprivileged user "nobody" when running as root, so file permissions apply.
bool DropRootPrivileges();

} // namespace kettrim::test
