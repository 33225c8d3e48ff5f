#include "common/Text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cwctype>
#include <string>

namespace t = vadelux::text;

namespace {

// glibc's iconv as the reference: the byte that WINDOWS-1252 gives for one code point, or -1.
int iconvByte(char32_t cp) {
  iconv_t cd = iconv_open("WINDOWS-1252", "UTF-32LE");
  char32_t in = cp;
  char out = 0;
  char* inp = reinterpret_cast<char*>(&in);
  char* outp = &out;
  size_t inLeft = sizeof in;
  size_t outLeft = 1;
  const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  return r == static_cast<size_t>(-1) ? -1 : static_cast<unsigned char>(out);
}

std::string utf8Of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

bool isUndefinedByte(unsigned char c) {
  return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

}  // namespace

TEST(text_test, conversion_agrees_with_iconv_for_the_whole_basic_plane) {
  int mismatches = 0;
  for (char32_t cp = 1; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      continue;
    }
    if (cp >= 0x80 && cp <= 0x9F && isUndefinedByte(static_cast<unsigned char>(cp))) {
      continue;  // glibc refuses the five unassigned bytes; checked by the round trip below
    }
    const int expected = iconvByte(cp);
    const std::string got = t::toWindows1252(utf8Of(cp));
    const std::string want = expected < 0 ? std::string("?") : std::string(1, static_cast<char>(expected));
    if (got != want) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp);
      if (++mismatches > 10) {
        break;
      }
    }
  }
}

TEST(text_test, every_byte_survives_a_round_trip_through_utf8) {
  for (int c = 1; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(t::toWindows1252(t::toUtf8(one)), one) << "byte " << c;
  }
}

TEST(text_test, characters_outside_the_code_page_and_broken_utf8_become_question_marks) {
  EXPECT_EQ(t::toWindows1252("\xCE\xB1"), "?");              // α
  EXPECT_EQ(t::toWindows1252("a\xF0\x9F\x98\x80z"), "a?z");  // an emoji outside the basic plane
  EXPECT_EQ(t::toWindows1252("Matem\xC3\xA1ticas"), "Matem\xE1ticas");
  EXPECT_EQ(t::toWindows1252("\xE2\x82\xAC"), "\x80");  // euro sign
  EXPECT_EQ(t::toWindows1252("x\xC3"), "x?");           // cut sequence
  EXPECT_EQ(t::toWindows1252("\xC0\x80"), "??");        // overlong NUL
  EXPECT_EQ(t::toUtf8("Espa\xF1"
                      "a \x80"),
            "Espa\xC3\xB1"
            "a \xE2\x82\xAC");
}

TEST(text_test, trim_removes_blanks_and_controls_at_both_ends_only) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"  Matem\xE1ticas  ", "Matem\xE1ticas"},
      {"\t\r\n x y \x01", "x y"},
      {"   ", ""},
      {"", ""},
      {"\xA0nbsp\xA0", "\xA0nbsp\xA0"},  // the no-break space is above the blank and stays
      {"a", "a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(t::trim(c.in), c.out) << c.in;
  }
}

TEST(text_test, upper_casing_changes_a_to_z_only) {
  EXPECT_EQ(t::upperAscii("m\xfasica \xf1 abc xyz"), "M\xfaSICA \xf1 ABC XYZ");
}

TEST(text_test, folding_matches_unicode_lower_casing_of_every_letter) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (int c = 1; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    const std::string u = t::toUtf8(std::string(1, static_cast<char>(byte)));
    // Decode the single code point again to ask the C library for its lower case.
    std::mbstate_t st{};
    wchar_t wc = 0;
    ASSERT_GT(std::mbrtowc(&wc, u.data(), u.size(), &st), 0u);
    const wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc)));
    const std::string lowerInCodePage = t::toWindows1252(utf8Of(static_cast<char32_t>(lower)));
    if (lower != wc && lowerInCodePage != "?") {
      EXPECT_EQ(t::foldByte(byte), static_cast<unsigned char>(lowerInCodePage[0])) << "byte " << c;
    } else {
      // Not a capital with a lower case in the code page: folding leaves it alone.
      EXPECT_EQ(t::foldByte(byte), byte) << "byte " << c;
    }
  }
}

TEST(text_test, case_insensitive_equality_folds_accented_letters) {
  EXPECT_TRUE(t::equalsIgnoreCase("Lengua", "LENGUA"));
  EXPECT_TRUE(t::equalsIgnoreCase("M\xfasica", "M\xdaSICA"));  // Música = MÚSICA
  EXPECT_TRUE(t::equalsIgnoreCase("a\xf1o", "A\xd1O"));        // año = AÑO
  EXPECT_TRUE(t::equalsIgnoreCase("\x9a\xff", "\x8a\x9f"));    // š ÿ = Š Ÿ
  EXPECT_FALSE(t::equalsIgnoreCase("Musica", "M\xfasica"));    // accents still count
  EXPECT_FALSE(t::equalsIgnoreCase("\xd7", "\xf7"));           // × and ÷ are not letters
  EXPECT_FALSE(t::equalsIgnoreCase("Mat", "Mate"));
  EXPECT_EQ(t::foldCase("GLJ"), t::foldCase("glj"));
}
