#include "OutputPathNaming.h"

#include <QRegularExpression>
#include <QtGlobal>
#include <QSet>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

// Any Qt warning (an invalid pattern, say) fails the test during which it was written.
void FailOnWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
        ADD_FAILURE() << "Qt warning: " << message.toStdString();
    }
}
[[maybe_unused]] const QtMessageHandler previousHandler = qInstallMessageHandler(FailOnWarnings);

TEST(UniqueOutputPathName, NumbersAfterTheHighestPathOfTheSameName) {
    const struct {
        const char* what;
        QStringList existing;
        QString asked;
        QString given;
    } table[] = {
        {"no paths", {}, "Pit", "Pit"},
        {"other names only", {"Stage Left", "Monitor 2"}, "Pit", "Pit"},
        {"the name taken", {"Pit"}, "Pit", "Pit 2"},
        {"the name and its second taken", {"Stage Left", "Stage Left 2"}, "Stage Left", "Stage Left 3"},
        {"whatever the order of the rows", {"Pit 3", "Monitor", "Pit", "Pit 2"}, "Pit", "Pit 4"},
        {"a numbered one without the plain name", {"Pit 2"}, "Pit", "Pit 3"},
        {"names that only begin like it", {"Pitch", "Pit stop", "Pit 2b", "Pit2", "pit"}, "Pit", "Pit"},
        {"any whitespace before the number", {"Pit\t4"}, "Pit", "Pit 5"},
        {"leading zeros and zero", {"Pit", "Pit 0", "Pit 09"}, "Pit", "Pit 10"},
        {"only a zero", {"Pit 0"}, "Pit", "Pit"},
        {"pattern characters are literal", {"Mon (L)+", "Mon LL"}, "Mon (L)+", "Mon (L)+ 2"},
        {"a dot matches only a dot", {"Side XB"}, "Side .B", "Side .B"},
        {"a number too large for an int", {"Pit 99999999999999999999"}, "Pit", "Pit 100000000000000000000"},
        {"a number just above the int range", {"Pit 2147483647"}, "Pit", "Pit 2147483648"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(brix::qt::UniqueOutputPathName(row.asked, row.existing), row.given) << row.what;
    }
}

TEST(UniqueOutputPathName, CreatingTheSameNameAgainAndAgainGivesNewNames) {
    QStringList names;
    for (int i = 0; i < 4; ++i) {
        names.append(brix::qt::UniqueOutputPathName("Pit", names));
    }
    EXPECT_EQ(names, (QStringList{"Pit", "Pit 2", "Pit 3", "Pit 4"}));
}

TEST(NewOutputPathId, IsAFreshUuidWithoutBraces) {
    const QRegularExpression form(QRegularExpression::anchoredPattern(
        "[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"));
    QSet<QString> ids;
    for (int i = 0; i < 100; ++i) {
        const QString id = brix::qt::NewOutputPathId();
        EXPECT_TRUE(form.match(id).hasMatch()) << id.toStdString();
        EXPECT_FALSE(QUuid::fromString(id).isNull()) << id.toStdString();
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 100);
}

}  // namespace
