#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "library/singleinstance.h"
#include "support/datadir.h"

namespace {

TEST(SingleInstance, ASecondClaimOnTheSameDirectoryAsksTheFirstToComeToTheFront)
{
    testing_support::DataDir data;
    testing_support::DataDir other;
    auto first = library::SingleInstance::Claim(data.Path());
    ASSERT_NE(first, nullptr);
    QSignalSpy asked(first.get(), &library::SingleInstance::activationRequested);

    // The same directory by another spelling of its path.
    EXPECT_EQ(library::SingleInstance::Claim(data.Path() + "../DATA/"), nullptr);
    QTRY_COMPARE(asked.count(), 1);

    EXPECT_NE(library::SingleInstance::Claim(other.Path()), nullptr);
    first.reset();
    EXPECT_NE(library::SingleInstance::Claim(data.Path()), nullptr);
}

}  // namespace
