// CFURL for file-system paths: directory flags, the "file://" text, path
// component operations and the file-system representation.
#include "collections_test_support.h"

#include <string>
#include <unistd.h>

namespace {

using namespace collections_test;

class CFURLTest : public LiveObjectTest {};

Owned<CFURLRef> url_for(const char *path, bool is_directory) {
    auto string = make_string(path);
    return Owned<CFURLRef>(CFURLCreateWithFileSystemPath(nullptr, string, kCFURLPOSIXPathStyle, is_directory));
}

std::string path_of(CFURLRef url) { return take_text(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle)); }

TEST_F(CFURLTest, FilesAndDirectories) {
    auto file = url_for("/Library/Printers/PPDs/Quorven.ppd", false);
    EXPECT_EQ(path_of(file), "/Library/Printers/PPDs/Quorven.ppd");
    EXPECT_EQ(text_of(CFURLGetString(file)), "file:///Library/Printers/PPDs/Quorven.ppd");
    EXPECT_FALSE(CFURLHasDirectoryPath(file));

    auto directory = url_for("/Library/Printers/", true);
    EXPECT_EQ(path_of(directory), "/Library/Printers");
    EXPECT_EQ(text_of(CFURLGetString(directory)), "file:///Library/Printers/");
    EXPECT_TRUE(CFURLHasDirectoryPath(directory));

    // A trailing slash can only name a directory.
    auto slashed = url_for("/tmp/", false);
    EXPECT_TRUE(CFURLHasDirectoryPath(slashed));
    EXPECT_EQ(path_of(slashed), "/tmp");

    auto root = url_for("/", false);
    EXPECT_EQ(path_of(root), "/");
    EXPECT_EQ(text_of(CFURLGetString(root)), "file:///");
    EXPECT_TRUE(CFURLHasDirectoryPath(root));

    EXPECT_TRUE(CFEqual(url_for("/tmp", true), url_for("/tmp/", false)));
    EXPECT_FALSE(CFEqual(url_for("/tmp", true), url_for("/tmp", false)));
}

TEST_F(CFURLTest, EscapesSpacesInTheText) {
    auto url = url_for("/Users/Shared/Job Logs/a%b.txt", false);
    EXPECT_EQ(text_of(CFURLGetString(url)), "file:///Users/Shared/Job%20Logs/a%25b.txt");
    EXPECT_EQ(path_of(url), "/Users/Shared/Job Logs/a%b.txt");
}

TEST_F(CFURLTest, AppendsPathComponents) {
    auto folder = url_for("/Library/Printers", true);
    auto file = make_string("Info.plist");
    Owned<CFURLRef> appended(CFURLCreateCopyAppendingPathComponent(nullptr, folder, file, false));
    EXPECT_EQ(path_of(appended), "/Library/Printers/Info.plist");
    EXPECT_FALSE(CFURLHasDirectoryPath(appended));

    auto sub_folder = make_string("Quorven");
    Owned<CFURLRef> nested(CFURLCreateCopyAppendingPathComponent(nullptr, folder, sub_folder, true));
    EXPECT_EQ(text_of(CFURLGetString(nested)), "file:///Library/Printers/Quorven/");

    auto root = url_for("/", true);
    auto etc = make_string("etc");
    Owned<CFURLRef> from_root(CFURLCreateCopyAppendingPathComponent(nullptr, root, etc, true));
    EXPECT_EQ(path_of(from_root), "/etc");

    EXPECT_EQ(CFURLCreateCopyAppendingPathComponent(nullptr, folder, nullptr, false), nullptr);
    EXPECT_EQ(CFURLCreateCopyAppendingPathComponent(nullptr, nullptr, file, false), nullptr);
}

TEST_F(CFURLTest, DeletesAndReadsTheLastComponent) {
    auto file = url_for("/Library/Printers/PDEs/JobMode.plugin", true);
    EXPECT_EQ(take_text(CFURLCopyLastPathComponent(file)), "JobMode.plugin");

    Owned<CFURLRef> parent(CFURLCreateCopyDeletingLastPathComponent(nullptr, file));
    EXPECT_EQ(path_of(parent), "/Library/Printers/PDEs");
    EXPECT_TRUE(CFURLHasDirectoryPath(parent));
    EXPECT_EQ(text_of(CFURLGetString(parent)), "file:///Library/Printers/PDEs/");

    auto top = url_for("/Library", true);
    Owned<CFURLRef> root(CFURLCreateCopyDeletingLastPathComponent(nullptr, top));
    EXPECT_EQ(path_of(root), "/");
    Owned<CFURLRef> still_root(CFURLCreateCopyDeletingLastPathComponent(nullptr, root));
    EXPECT_EQ(path_of(still_root), "/");
    EXPECT_EQ(take_text(CFURLCopyLastPathComponent(root)), "/");
}

TEST_F(CFURLTest, KeepsRelativePathsAsGiven) {
    auto relative = url_for("Resources/English.lproj", true);
    EXPECT_EQ(path_of(relative), "Resources/English.lproj");
    EXPECT_EQ(take_text(CFURLCopyLastPathComponent(relative)), "English.lproj");
    Owned<CFURLRef> parent(CFURLCreateCopyDeletingLastPathComponent(nullptr, relative));
    EXPECT_EQ(path_of(parent), "Resources");
    Owned<CFURLRef> current(CFURLCreateCopyDeletingLastPathComponent(nullptr, parent));
    EXPECT_EQ(path_of(current), ".");
}

TEST_F(CFURLTest, FileSystemRepresentation) {
    const char path[] = "/tmp/a b/c";
    Owned<CFURLRef> url(CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8 *>(path), sizeof path - 1, false));
    UInt8 buffer[64];
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(url, false, buffer, sizeof buffer));
    EXPECT_STREQ(reinterpret_cast<const char *>(buffer), "/tmp/a b/c");

    // The terminating NUL must fit too.
    UInt8 tight[sizeof path];
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url, false, tight, sizeof tight));
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, false, tight, sizeof tight - 1));

    // bufLen bounds the path, and so does a NUL inside it.
    Owned<CFURLRef> shortened(
        CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8 *>(path), 4, true));
    EXPECT_EQ(path_of(shortened), "/tmp");
    EXPECT_TRUE(CFURLHasDirectoryPath(shortened));
    const char with_nul[] = "/var\0ignored";
    Owned<CFURLRef> stopped(CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8 *>(with_nul), sizeof with_nul - 1, false));
    EXPECT_EQ(path_of(stopped), "/var");

    auto relative = url_for("some/file", false);
    char current[512];
    ASSERT_NE(getcwd(current, sizeof current), nullptr);
    char resolved[1024];
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(relative, true, reinterpret_cast<UInt8 *>(resolved), sizeof resolved));
    EXPECT_EQ(std::string(resolved), std::string(current) + "/some/file");
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(relative, false, reinterpret_cast<UInt8 *>(resolved), sizeof resolved));
    EXPECT_STREQ(resolved, "some/file");
}

TEST_F(CFURLTest, RefusesWhatItCannotRepresent) {
    EXPECT_EQ(url_for("", false).get(), nullptr);
    EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, nullptr, kCFURLPOSIXPathStyle, false), nullptr);
    auto path = make_string("/tmp");
    EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, path, kCFURLHFSPathStyle, false), nullptr);
    EXPECT_EQ(CFURLCreateFromFileSystemRepresentation(nullptr, nullptr, 3, false), nullptr);
    EXPECT_EQ(CFURLGetString(nullptr), nullptr);
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(nullptr, false, nullptr, 0));
}

}  // namespace
