// The linking mode as a host names it: read by the core, which words the
// refusal of an unknown name.
#include <gtest/gtest.h>

#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"

namespace linking = corvalt::linking;

TEST(LinkingMode, AKnownNameIsItsMode) {
  EXPECT_EQ(linking::mode_named("keyword"), linking::Mode::kKeyword);
  EXPECT_EQ(linking::mode_named("lexical"), linking::Mode::kLexical);
}

TEST(LinkingMode, AnUnknownNameIsRefusedNamingTheModesThereAre) {
  try {
    linking::mode_named("Lexical");
    FAIL() << "no error";
  } catch (const corvalt::ValueError& e) {
    EXPECT_STREQ(e.what(), "linking must be one of 'keyword', 'lexical', not 'Lexical'");
  }
  try {
    linking::mode_named("it's");
    FAIL() << "no error";
  } catch (const corvalt::ValueError& e) {
    EXPECT_STREQ(e.what(), "linking must be one of 'keyword', 'lexical', not \"it's\"");
  }
}
