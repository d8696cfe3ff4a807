#include <gtest/gtest.h>

#include "AppTestUtils.h"
#include "app/VKBStartupUnit.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/graphics/Graphics.h"

#include <memory>

namespace {

// A class id of our own, so the tests never touch the real control's entry.
const wchar_t* const TestClsid = L"{4B565445-5354-0000-0000-464C41534831}";
const UnicodeString TestKey = UnicodeString(L"\\CLSID\\") + TestClsid + L"\\InprocServer32";

// Registers Server as the default value of the test key and removes it again.
class TTestRegistration {
public:
    explicit TTestRegistration(const UnicodeString& server)
    {
        HKEY key = nullptr;
        UnicodeString path = TestKey.substr(1);
        RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       DWORD((server.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    ~TTestRegistration()
    {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (UnicodeString(L"CLSID\\") + TestClsid).c_str());
    }
};

TEST(FlashRegistration, SkipTestAgainstTheRegistry)
{
    TTempDir dir;
    WriteBytes(dir / L"Flash10e.ocx", "x");
    WriteBytes(dir / L"FLASH10B.ocx", "x");
    WriteBytes(dir / L"other.ocx", "x");
    WriteBytes(dir / L"fLaSh32_11.ocx", "x");
    struct {
        const char* Name;
        UnicodeString Server;
        bool Needed;
    } cases[] = {
        {"existing Flash server", dir / L"Flash10e.ocx", false},
        {"any letter case", dir / L"fLaSh32_11.ocx", false},
        {"registered file gone", dir / L"Flash9.ocx", true},
        {"old flash10b server", dir / L"FLASH10B.ocx", true},
        {"not a Flash server", dir / L"other.ocx", true},
        {"empty value", L"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestRegistration reg(c.Server);
        UnicodeString read = ReadFlashRegistration(TestKey);
        EXPECT_EQ(read, c.Server);
        EXPECT_EQ(FlashProvisioningNeeded(read), c.Needed);
    }
    // No key at all.
    EXPECT_EQ(ReadFlashRegistration(TestKey), L"");
    EXPECT_TRUE(FlashProvisioningNeeded(ReadFlashRegistration(TestKey)));
}

TEST(FlashRegistration, DefaultValueThatIsNoTextCountsAsMissing)
{
    TTestRegistration reg(L"x");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, TestKey.substr(1).c_str(), 0, KEY_WRITE, &key), ERROR_SUCCESS);
    DWORD number = 7;
    RegSetValueExW(key, L"", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegCloseKey(key);
    EXPECT_EQ(ReadFlashRegistration(TestKey), L"");
}

TEST(FlashRegistration, RegisteredServerSkipsEverything)
{
    TTempDir dir;
    WriteBytes(dir / L"Flash.ocx", "x");
    TDialogSeamScope seam;
    EXPECT_EQ(ProvisionFlash(dir / L"missing.exe", dir / L"Flash.ocx", dir / L"flash10.exe"), TFlashSetup::Registered);
    EXPECT_FALSE(FileThere(dir / L"flash10.exe"));
    EXPECT_EQ(seam.Count(), 0u);
}

std::string Trailer(uint32_t n)
{
    return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
}

TEST(FlashInstaller, PayloadLandsByteExact)
{
    TTempDir dir;
    std::string payload;
    for (int i = 0; i < 200000; ++i)
        payload += char(i * 7 + (i >> 9));
    WriteBytes(dir / L"book.exe", std::string("MZ program image ...") + payload + Trailer(uint32_t(payload.size())));
    ASSERT_TRUE(ExtractFlashInstaller(dir / L"book.exe", dir / L"flash10.exe"));
    EXPECT_EQ(ReadBytes(dir / L"flash10.exe"), payload);
}

TEST(FlashInstaller, BadTrailersWriteNothing)
{
    TTempDir dir;
    struct {
        const char* Name;
        std::string File;
    } cases[] = {
        {"length larger than the file", "MZ.." + std::string("abc") + Trailer(0x001DF230)},
        {"length one past the payload", "abcd" + Trailer(5)},
        {"huge length", "abcd" + Trailer(0xFFFFFFFF)},
        {"no payload", "MZ image" + Trailer(0)},
        {"shorter than a trailer", "ab"},
        {"empty file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(dir / L"book.exe", c.File);
        EXPECT_FALSE(ExtractFlashInstaller(dir / L"book.exe", dir / L"flash10.exe"));
        EXPECT_FALSE(FileThere(dir / L"flash10.exe"));
    }
    EXPECT_FALSE(ExtractFlashInstaller(dir / L"missing.exe", dir / L"flash10.exe"));
    // An unwritable target (its folder does not exist).
    WriteBytes(dir / L"book.exe", "abcd" + Trailer(4));
    EXPECT_FALSE(ExtractFlashInstaller(dir / L"book.exe", dir / L"no\\such\\flash10.exe"));
}

TEST(FlashInstaller, ExitCode259IsReportedOnceAndTheInstallerDeleted)
{
    TTempDir dir;
    std::string installer = ReadBytes(TestExeDir() + L"\\exitcode259.exe");
    ASSERT_FALSE(installer.empty());
    WriteBytes(dir / L"book.exe", std::string(1000, 'P') + installer + Trailer(uint32_t(installer.size())));

    TDialogSeamScope seam;
    EXPECT_EQ(ProvisionFlash(dir / L"book.exe", L"", dir / L"flash10.exe"), TFlashSetup::Ran);
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Last().Kind, TDialogKind::ShowMessage);
    EXPECT_EQ(seam.Last().Text, L"Process is still active\n");
    EXPECT_FALSE(FileThere(dir / L"flash10.exe"));
}

// The installer is started with its path as the whole command line: no
// arguments, no quotes; a normal end is not reported.
TEST(FlashInstaller, StartedWithoutArguments)
{
    TTempDir dir;
    std::string installer = ReadBytes(TestExeDir() + L"\\cmdlinerecorder.exe");
    ASSERT_FALSE(installer.empty());
    WriteBytes(dir / L"book.exe", std::string(64, 'P') + installer + Trailer(uint32_t(installer.size())));

    TDialogSeamScope seam;
    EXPECT_EQ(ProvisionFlash(dir / L"book.exe", L"", dir / L"flash10.exe"), TFlashSetup::Ran);
    EXPECT_EQ(ReadBytes(dir / L"flash10.cmdline"), UnicodeToAnsi(dir / L"flash10.exe"));
    EXPECT_EQ(seam.Count(), 0u);
    EXPECT_FALSE(FileThere(dir / L"flash10.exe"));
}

TEST(FlashInstaller, PayloadThatIsNoProgramIsSkippedQuietly)
{
    TTempDir dir;
    WriteBytes(dir / L"book.exe", "image" + std::string("not a program") + Trailer(13));
    TDialogSeamScope seam;
    EXPECT_EQ(ProvisionFlash(dir / L"book.exe", L"", dir / L"flash10.exe"), TFlashSetup::NotStarted);
    EXPECT_EQ(seam.Count(), 0u);
    EXPECT_FALSE(FileThere(dir / L"flash10.exe"));
}

// A 16 x 16 icon, 32 bits a pixel.
std::string SmallIcon()
{
    auto u16 = [](int v) { return std::string{char(v), char(v >> 8)}; };
    auto u32 = [](int v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    std::string image = u32(40) + u32(16) + u32(32) + u16(1) + u16(32) + u32(0) + u32(16 * 16 * 4 + 16 * 4) +
                        u32(0) + u32(0) + u32(0) + u32(0);
    for (int i = 0; i < 16 * 16; ++i)
        image += std::string{'\x20', '\x40', '\x60', '\xFF'};
    image += std::string(16 * 4, '\0');   // AND mask
    std::string entry = std::string{16, 16, 0, 0} + u16(1) + u16(32) + u32(int(image.size())) + u32(22);
    return u16(0) + u16(1) + u16(1) + entry + image;
}

TEST(ApplicationIcon, FromTheIcoBesideTheExecutableElseTheFileTypes)
{
    TTempDir dir;
    WriteBytes(dir / L"Book.exe", "MZ");
    std::unique_ptr<TIcon> generic(ApplicationIconFor(dir / L"Book.exe"));
    ASSERT_FALSE(generic->Empty());

    WriteBytes(dir / L"Book.ico", SmallIcon());
    std::unique_ptr<TIcon> own(ApplicationIconFor(dir / L"Book.exe"));
    ASSERT_FALSE(own->Empty());
    EXPECT_EQ(own->Width(), 16);

    // A broken ".ico" does not stop the start: the file type's icon serves.
    WriteBytes(dir / L"Book.ico", "not an icon");
    std::unique_ptr<TIcon> fallback(ApplicationIconFor(dir / L"Book.exe"));
    EXPECT_FALSE(fallback->Empty());
}

TEST(FlashInstaller, TempFolderIsOnTheSystemDrive)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    char folder[1024];
    GetTempFolder(folder, sizeof(folder));
    EXPECT_EQ(std::string(folder), std::string(system, 2) + "\\temp");
    EXPECT_NE(GetFileAttributesA(folder), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FlashInstallerPath(), UnicodeString(system, system + 2) + L"\\temp\\flash10.exe");
}

} // namespace
