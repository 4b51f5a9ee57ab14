#pragma once
// The files of one upload. The library writes each under a temporary name beside its target;
// only a complete upload puts them in place, and only then is an old file the operator agreed to
// replace removed, so a failed or short upload loses nothing and leaves no file behind.
#include <QString>
#include <utility>
#include <vector>

namespace quorvel {

// The size a checked upload file must have.
struct ExpectedSize {
    qint64 exactly = 0;   // nonzero: this many bytes
    qint64 multiple = 1;  // otherwise: a nonzero multiple of this, at most `maximum`
    qint64 maximum = 0;
    bool optional = false;  // the module may deliver no such file, or an empty one (no external data)
};

class UploadFiles {
  public:
    UploadFiles() = default;
    ~UploadFiles();  // removes temporary files that were not put in place
    UploadFiles(const UploadFiles&) = delete;
    UploadFiles& operator=(const UploadFiles&) = delete;

    // The temporary name `written` stands for `target`; a stale temporary file is removed.
    void add(const QString& written, const QString& target, ExpectedSize expected);

    // The first file the library did not deliver in full: "<file> holds 0 bytes, expected
    // 131072"; empty when all are complete. EEPROM files are checked by their line count.
    QString incomplete() const;
    // Puts every delivered file in place of its target (removing the old target, also where
    // nothing new was delivered). False with `error` set when a file cannot be moved.
    bool commit(QString& error);
    // Removes the temporary files.
    void discard();

  private:
    struct File {
        QString written;
        QString target;
        ExpectedSize expected;
    };
    static bool delivered(const File& file);

    std::vector<File> files_;
};

// A flash upload file (128-byte blocks): the internal flash holds 1024 blocks, the external
// flash 1 to 4096.
ExpectedSize InternalFlashSize();
ExpectedSize ExternalFlashSize(bool optional);
// An EEPROM file: the header lines and 32 data lines; the second board's file is optional.
ExpectedSize EepromFileSize(bool optional);

}  // namespace quorvel
