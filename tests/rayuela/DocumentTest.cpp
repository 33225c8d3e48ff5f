#include "rayuela/Document.h"

#include <gtest/gtest.h>

TEST(document_test, placeholder) {
  EXPECT_TRUE(true);
}
