#include "app/instance_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(InstanceName, OneFolderOneNameHoweverSpelled) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"C:\\Tools\\Nubo", "c:\\tools\\NUBO", true},
      {"C:\\Tools\\Nubo", "C:/Tools/Nubo", true},
      {"C:\\Tools\\Nubo", "C:\\Tools\\Nubo\\", true},
      {"C:\\Tools\\Nubo", "C:\\Tools\\Nubo2", false},
      {"C:\\Tools\\Nubo", "D:\\Tools\\Nubo", false},
      {"C:\\", "c:", false},  // the root and the drive's current folder
      {"C:\\", "c:\\\\", true},
      // Trail bytes that look like letters or '\' are not letters: ア (83 41)
      // and ャ (83 61) differ, and ソ (83 5C) keeps its trail byte at the end.
      {"C:\\\x83\x41", "C:\\\x83\x61", false},
      {"C:\\\x83\x5C", "C:\\\x83", false},
      {"C:\\\x83\x5C", "c:\\\x83\x5C\\", true},
  };
  for (const Case& c : cases) {
    const std::string a = instance::InstanceName(c.a), b = instance::InstanceName(c.b);
    EXPECT_EQ(a == b, c.same) << "\"" << c.a << "\" and \"" << c.b << "\": " << a << ", " << b
                              << " (folded " << instance::FoldFolder(c.a) << ", "
                              << instance::FoldFolder(c.b) << ")";
  }
}

TEST(InstanceName, IsAValidObjectNameForAnyFolder) {
  const std::string longFolder = "C:\\" + std::string(255, '\x88');  // 259 bytes
  for (const char* folder :
       {"", "\\\\server\\share\\a:b*c?", "C:\\\x83\x5C\\x", longFolder.c_str()}) {
    const std::string name = instance::InstanceName(folder);
    EXPECT_EQ(name.size(), 9u + 16u) << name;
    EXPECT_EQ(name.rfind("NuboTesa.", 0), 0u) << name;
    for (char c : name) {
      EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == '.' ||
                  (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
          << "'" << c << "' in " << name;
    }
  }
}

}  // namespace
