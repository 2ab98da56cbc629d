#include "platform/localization.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTranslator>
#include <gtest/gtest.h>

namespace orbita {
namespace {

// Installs the Polish catalogue for one test and removes it afterwards, so
// that other tests see Qt's texts as they found them.
class PolishTranslations : public ::testing::Test {
protected:
    void SetUp() override { m_loaded = LoadPolishTranslations(*QCoreApplication::instance()); }
    void TearDown() override
    {
        const auto translators = QCoreApplication::instance()->findChildren<QTranslator*>(
            QStringLiteral("orbita-qtbase-pl"), Qt::FindDirectChildrenOnly);
        for (QTranslator* translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    bool m_loaded = false;
};

TEST_F(PolishTranslations, StandardButtonTextsArePolish)
{
    ASSERT_TRUE(m_loaded);
    const struct {
        const char* english;
        const char* polish;
    } rows[] = {
        { "&Yes", "&Tak" },
        { "&No", "&Nie" },
        { "Cancel", "Anuluj" },
        { "Close", "Zamknij" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", row.english), QString::fromUtf8(row.polish))
            << row.english;
}

TEST_F(PolishTranslations, MessageBoxQuestionShowsTakAndNie)
{
    ASSERT_TRUE(m_loaded);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Orbita"), QStringLiteral("Czy zakończyć?"),
        QMessageBox::Yes | QMessageBox::No);
    ASSERT_NE(box.button(QMessageBox::Yes), nullptr);
    ASSERT_NE(box.button(QMessageBox::No), nullptr);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Tak"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Nie"));
}

TEST(Localization, WithoutTheCatalogueQtKeepsItsEnglishTexts)
{
    // Guards the tests above: the Polish text comes from the installed
    // catalogue, not from anything else in the process.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Orbita"), QStringLiteral("?"), QMessageBox::Yes);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Yes"));
}

} // namespace
} // namespace orbita
