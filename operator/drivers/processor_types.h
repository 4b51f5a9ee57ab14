#pragma once
// The processor type code the library takes, and where a processor firmware directory's name
// carries its version.
#include <QString>

namespace quorvel {

struct ProcessorTypeCode {
    int code = 3;
    int prefixLength = 0;  // characters of the directory name before the version digits
};

// "KX13" 0, "KX43A" and "KX43" 1, "KX43B" 2, "KX43-B" 3, "KX33" 4, "KX63" 5, any other 3.
ProcessorTypeCode ProcessorTypeCodeOf(const QString& processorType);

// "P" + digit + "." + two digits from the name behind the prefix: "KX43P206.S00" with prefix
// length 5 gives "P2.06".
QString DirectoryVersion(const QString& directoryName, int prefixLength);

inline constexpr int kKx63TypeCode = 5;

// The KX33's flash as its loader moves it: 8192 blocks of 512 bytes.
inline constexpr int kKx33BlockSize = 512;
inline constexpr int kKx33BlockCount = 8192;

}  // namespace quorvel
