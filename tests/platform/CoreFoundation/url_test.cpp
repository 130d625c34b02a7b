// CFURL for file-system paths: directory flags, the "file://" text, path
// component operations and the file-system representation.
#include "collections_test_support.h"

#include <string>
#include <unistd.h>

namespace {

using namespace collections_test;

class CFURLTest : public LiveObjectTest {};

cf::Ref<CFURLRef> url_for(const char *path, bool is_directory) {
    return cf::adopt(CFURLCreateWithFileSystemPath(nullptr, cf::string(path).get(), kCFURLPOSIXPathStyle, is_directory));
}

std::string path_of(CFURLRef url) { return cf::adopt_utf8(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle)); }

TEST_F(CFURLTest, FilesAndDirectories) {
    auto file = url_for("/Library/Printers/PPDs/Quorven.ppd", false);
    EXPECT_EQ("/Library/Printers/PPDs/Quorven.ppd", path_of(file.get()));
    EXPECT_EQ("file:///Library/Printers/PPDs/Quorven.ppd", cf::utf8(CFURLGetString(file.get())));
    EXPECT_FALSE(CFURLHasDirectoryPath(file.get()));

    auto directory = url_for("/Library/Printers/", true);
    EXPECT_EQ("/Library/Printers", path_of(directory.get()));
    EXPECT_EQ("file:///Library/Printers/", cf::utf8(CFURLGetString(directory.get())));
    EXPECT_TRUE(CFURLHasDirectoryPath(directory.get()));

    // A trailing slash can only name a directory.
    auto slashed = url_for("/tmp/", false);
    EXPECT_TRUE(CFURLHasDirectoryPath(slashed.get()));
    EXPECT_EQ("/tmp", path_of(slashed.get()));

    auto root = url_for("/", false);
    EXPECT_EQ("/", path_of(root.get()));
    EXPECT_EQ("file:///", cf::utf8(CFURLGetString(root.get())));
    EXPECT_TRUE(CFURLHasDirectoryPath(root.get()));

    EXPECT_TRUE(CFEqual(url_for("/tmp", true).get(), url_for("/tmp/", false).get()));
    EXPECT_FALSE(CFEqual(url_for("/tmp", true).get(), url_for("/tmp", false).get()));
}

TEST_F(CFURLTest, EscapesSpacesInTheText) {
    auto url = url_for("/Users/Shared/Job Logs/a%b.txt", false);
    EXPECT_EQ("file:///Users/Shared/Job%20Logs/a%25b.txt", cf::utf8(CFURLGetString(url.get())));
    EXPECT_EQ("/Users/Shared/Job Logs/a%b.txt", path_of(url.get()));
}

TEST_F(CFURLTest, AppendsPathComponents) {
    auto folder = url_for("/Library/Printers", true);
    auto file = cf::string("Info.plist");
    auto appended = cf::adopt(CFURLCreateCopyAppendingPathComponent(nullptr, folder.get(), file.get(), false));
    EXPECT_EQ("/Library/Printers/Info.plist", path_of(appended.get()));
    EXPECT_FALSE(CFURLHasDirectoryPath(appended.get()));

    auto sub_folder = cf::string("Quorven");
    auto nested = cf::adopt(CFURLCreateCopyAppendingPathComponent(nullptr, folder.get(), sub_folder.get(), true));
    EXPECT_EQ("file:///Library/Printers/Quorven/", cf::utf8(CFURLGetString(nested.get())));

    auto root = url_for("/", true);
    auto etc = cf::string("etc");
    auto from_root = cf::adopt(CFURLCreateCopyAppendingPathComponent(nullptr, root.get(), etc.get(), true));
    EXPECT_EQ("/etc", path_of(from_root.get()));

    EXPECT_EQ(nullptr, CFURLCreateCopyAppendingPathComponent(nullptr, folder.get(), nullptr, false));
    EXPECT_EQ(nullptr, CFURLCreateCopyAppendingPathComponent(nullptr, nullptr, file.get(), false));
}

TEST_F(CFURLTest, DeletesAndReadsTheLastComponent) {
    auto file = url_for("/Library/Printers/PDEs/JobMode.plugin", true);
    EXPECT_EQ("JobMode.plugin", cf::adopt_utf8(CFURLCopyLastPathComponent(file.get())));

    auto parent = cf::adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, file.get()));
    EXPECT_EQ("/Library/Printers/PDEs", path_of(parent.get()));
    EXPECT_TRUE(CFURLHasDirectoryPath(parent.get()));
    EXPECT_EQ("file:///Library/Printers/PDEs/", cf::utf8(CFURLGetString(parent.get())));

    auto top = url_for("/Library", true);
    auto root = cf::adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, top.get()));
    EXPECT_EQ("/", path_of(root.get()));
    auto still_root = cf::adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, root.get()));
    EXPECT_EQ("/", path_of(still_root.get()));
    EXPECT_EQ("/", cf::adopt_utf8(CFURLCopyLastPathComponent(root.get())));
}

TEST_F(CFURLTest, KeepsRelativePathsAsGiven) {
    auto relative = url_for("Resources/English.lproj", true);
    EXPECT_EQ("Resources/English.lproj", path_of(relative.get()));
    EXPECT_EQ("English.lproj", cf::adopt_utf8(CFURLCopyLastPathComponent(relative.get())));
    auto parent = cf::adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, relative.get()));
    EXPECT_EQ("Resources", path_of(parent.get()));
    auto current = cf::adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, parent.get()));
    EXPECT_EQ(".", path_of(current.get()));
}

TEST_F(CFURLTest, FileSystemRepresentation) {
    const char path[] = "/tmp/a b/c";
    auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8 *>(path), sizeof path - 1, false));
    UInt8 buffer[64];
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(url.get(), false, buffer, sizeof buffer));
    EXPECT_STREQ(reinterpret_cast<const char *>(buffer), "/tmp/a b/c");

    // The terminating NUL must fit too.
    UInt8 tight[sizeof path];
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url.get(), false, tight, sizeof tight));
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url.get(), false, tight, sizeof tight - 1));

    // bufLen bounds the path, and so does a NUL inside it.
    auto shortened = cf::adopt(
        CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8 *>(path), 4, true));
    EXPECT_EQ("/tmp", path_of(shortened.get()));
    EXPECT_TRUE(CFURLHasDirectoryPath(shortened.get()));
    const char with_nul[] = "/var\0ignored";
    auto stopped = cf::adopt(CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8 *>(with_nul), sizeof with_nul - 1, false));
    EXPECT_EQ("/var", path_of(stopped.get()));

    auto relative = url_for("some/file", false);
    char current[512];
    ASSERT_NE(getcwd(current, sizeof current), nullptr);
    char resolved[1024];
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(relative.get(), true, reinterpret_cast<UInt8 *>(resolved), sizeof resolved));
    EXPECT_EQ(std::string(resolved), std::string(current) + "/some/file");
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(relative.get(), false, reinterpret_cast<UInt8 *>(resolved), sizeof resolved));
    EXPECT_STREQ(resolved, "some/file");
}

TEST_F(CFURLTest, RefusesWhatItCannotRepresent) {
    EXPECT_EQ(nullptr, url_for("", false).get());
    EXPECT_EQ(nullptr, CFURLCreateWithFileSystemPath(nullptr, nullptr, kCFURLPOSIXPathStyle, false));
    auto path = cf::string("/tmp");
    EXPECT_EQ(nullptr, CFURLCreateWithFileSystemPath(nullptr, path.get(), kCFURLHFSPathStyle, false));
    EXPECT_EQ(nullptr, CFURLCreateFromFileSystemRepresentation(nullptr, nullptr, 3, false));
    EXPECT_EQ(nullptr, CFURLGetString(nullptr));
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(nullptr, false, nullptr, 0));
}

}  // namespace
