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

// A failing status is an error whose text names the file, so that the user can open it by
// hand. 3: nothing on the desktop opens such files; 4: the program failed, which xdg-open
// may also say when the program it waited for ends badly.
TEST(DesktopOpenerTest, AFailingStatusIsAnErrorThatNamesTheFile) {
    const std::pair<int, QString> cases[] = {
        {3, u"Dosya açılamadı:\n"_s + kFile +
                u"\n(bu dosyayı açacak bir program yok; xdg-open çıkış kodu 3)"_s},
        {4, u"Dosyayı açan program bir hatayla sona erdi:\n"_s + kFile +
                u"\n(xdg-open çıkış kodu 4)"_s},
    };
    for (const auto &[status, text] : cases) {
        FakeXdgOpen xdgOpen(status);
        DesktopOpener opener;
        QSignalSpy failed(&opener, &DesktopOpener::failed);
        opener.open(kFile);
        ASSERT_TRUE(failed.wait());
        EXPECT_EQ(failed.front().at(0).toString(), kFile);
        EXPECT_EQ(failed.front().at(1).toString(), text);
    }
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
