// A private folder per test for the file tests, removed afterwards, with
// helpers to put bytes in files and read them back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "core/text/u16.h"

namespace quadrel::testing_support {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    std::string name = "quadrel-";
    if (info)
      name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
    name += std::to_string(random());
    root_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(root_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder as a text, ending with "/".
  Text text() const { return fromUtf8(root_.string() + "/"); }
  // A file of the folder, as a text and as a path.
  Text file(std::string_view name) const { return fromUtf8((root_ / name).string()); }
  std::filesystem::path path(std::string_view name) const { return root_ / name; }

  void put(std::string_view name, std::string_view bytes) const {
    std::ofstream out(path(name), std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
  std::string get(std::string_view name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool exists(std::string_view name) const { return std::filesystem::exists(path(name)); }

 private:
  std::filesystem::path root_;
};

}  // namespace quadrel::testing_support
