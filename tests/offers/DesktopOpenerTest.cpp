#include "offers/DesktopOpener.h"
#include "platform/Error.h"
#include "support/FakeXdgOpen.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QString kFile = u"/veri/exports/rehber-20240102-030405.xlsx"_s;
} // namespace

TEST(DesktopOpenerTest, TheProgramThatTookTheFileIsReported) {
    FakeXdgOpen xdgOpen(0);
    DesktopOpener opener;
    QSignalSpy opened(&opener, &DesktopOpener::opened);
    QSignalSpy failed(&opener, &DesktopOpener::failed);
    opener.open(kFile);
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(opened.front().front().toString(), kFile);
    EXPECT_EQ(failed.size(), 0);
    EXPECT_EQ(xdgOpen.openedFiles(), QStringList{kFile});
}

// xdg-open's status 3: nothing on the desktop opens the file. The text names the file so
// that the user can open it by hand.
TEST(DesktopOpenerTest, AFailingStatusIsAnErrorThatNamesTheFile) {
    FakeXdgOpen xdgOpen(3);
    DesktopOpener opener;
    QSignalSpy failed(&opener, &DesktopOpener::failed);
    opener.open(kFile);
    ASSERT_TRUE(failed.wait());
    EXPECT_EQ(failed.front().at(0).toString(), kFile);
    EXPECT_EQ(failed.front().at(1).toString(),
              u"Dosya açılamadı:\n"_s + kFile +
                  u"\n(bu dosyayı açacak bir program yok; xdg-open çıkış kodu 3)"_s);
}

TEST(DesktopOpenerTest, NoXdgOpenOnThePathFailsAtOnce) {
    FakeXdgOpen xdgOpen(0);
    xdgOpen.makeMissing();
    DesktopOpener opener;
    try {
        opener.open(kFile);
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), u"Dosya açılamadı:\n"_s + kFile + u"\n(xdg-open bulunamadı)"_s);
    }
}
