#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "support/rows.h"
#include "ui/entrymodel.h"

namespace {

class EntryModelTest : public ::testing::Test
{
protected:
    ui::EntryModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};

    std::vector<std::string> Rows() const { return testing_support::Strings(model.Rows()); }
};

TEST_F(EntryModelTest, KeepsEveryRowsBytesExactly)
{
    // Bytes that no decoder would give back unchanged.
    const std::string odd = "\xFF\xFE\x80\x81" "a\r\n\x94\x39";
    EXPECT_EQ(model.AppendRow(), 0);
    EXPECT_TRUE(model.SetRowText(0, odd));
    EXPECT_EQ(model.RowText(0), odd);
    EXPECT_EQ(model.RowText(1), "");
    EXPECT_EQ(model.RowText(-1), "");
    EXPECT_FALSE(model.SetRowText(1, "x"));
}

TEST_F(EntryModelTest, AppendsManyRowsInOneInsert)
{
    model.AppendRows({"a", "b"});
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.AppendRows({"c", "d", "e"});
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 2);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 4);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

// Rows of a folder file are views into its bytes; the model keeps the bytes
// alive and gives a row its own copy when it is set, even from itself.
TEST_F(EntryModelTest, RowsReadFromAFileOutliveTheReader)
{
    {
        auto bytes = std::make_shared<std::string>("alphabetagamma");
        const std::string_view all(*bytes);
        model.AppendRows(bytes, {all.substr(0, 5), all.substr(5, 4), all.substr(9)});
    }
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
    EXPECT_TRUE(model.SetRowText(0, model.RowText(0).substr(1)));
    EXPECT_TRUE(model.SetRowText(1, model.RowText(0)));
    EXPECT_TRUE(model.SetRowText(0, model.RowText(0)));
    EXPECT_TRUE(model.SetRowText(2, ""));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"lpha", "lpha", ""}));
    EXPECT_TRUE(model.DeleteRow(0));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"lpha", ""}));
}

TEST_F(EntryModelTest, DeletesAndClears)
{
    model.AppendRows({"a", "b", "c"});
    EXPECT_TRUE(model.DeleteRow(1));
    EXPECT_FALSE(model.DeleteRow(2));
    EXPECT_FALSE(model.DeleteRow(-1));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "c"}));
    model.ClearRows();
    EXPECT_EQ(model.RowCount(), 0);
}

TEST_F(EntryModelTest, ShowsAMultiLineEntryOnOneLine)
{
    model.AppendRows({"one\r\ntwo\nthree\rfour", "\xB3\xA3\x80"});
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("one two three four"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("常€"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("内容"));
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

}  // namespace
