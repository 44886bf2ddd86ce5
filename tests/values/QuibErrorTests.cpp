#include "values/ErrorSentence.h"
#include "values/QuibError.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(ErrorSentence, IsTheErrorsOwnSentenceUnchanged) {
  const QString sentence = QString::fromUtf8("The folder “Été” is gone.");
  const QuibError error(sentence);
  EXPECT_EQ(error.message(), sentence);
  EXPECT_EQ(errorSentence(error), sentence);
  EXPECT_EQ(errorSentence(std::runtime_error("Plain failure.")), "Plain failure.");
}
