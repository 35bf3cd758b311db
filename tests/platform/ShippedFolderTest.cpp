#include "platform/ShippedFolder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// An installation unpacked anywhere finds its shipped files beside its bin folder; a build
// tree has none.
TEST(ShippedFolder, IsShareZefiranBesideTheBinFolder) {
    QTemporaryDir root;
    QDir().mkpath(root.path() + u"/usr/bin"_s);
    EXPECT_EQ(shippedFolderBeside(root.path() + u"/usr/bin"_s), QString());
    QDir().mkpath(root.path() + u"/usr/share/zefiran"_s);
    EXPECT_EQ(shippedFolderBeside(root.path() + u"/usr/bin"_s),
              root.path() + u"/usr/share/zefiran"_s);
}
