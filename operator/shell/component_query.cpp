#include "operator/shell/component_query.h"

#include <vector>

namespace quorvel {
namespace {

constexpr size_t kTextBuffer = 256;        // identity, model, hardware revision
constexpr size_t kRevisionsBuffer = 1537;  // three revision answers joined by "#"

struct TextBuffer {
    explicit TextBuffer(size_t size) : bytes(size, '\0') {}
    QString text() const {
        const auto kept = std::clamp<int32_t>(length, 0, static_cast<int32_t>(bytes.size()) - 1);
        return QString::fromLocal8Bit(bytes.data(), kept);
    }
    std::vector<char> bytes;
    int32_t length = 0;
};

}  // namespace

ComponentAnswer GetComponentType(QuorlinkLibrary& library, int timeoutMs, int position,
                                 int loaderGroup, QuorlinkCallback message, int panelControl) {
    auto function = library.function<decltype(&::GetComponentType)>("GetComponentType");
    TextBuffer identity(kTextBuffer), model(kTextBuffer), hardware(kTextBuffer);
    TextBuffer revisions(kRevisionsBuffer);
    int32_t mode = 0, loaderFlag = 0, subChannels = 0;
    ComponentAnswer answer;
    answer.result = function(timeoutMs, position, loaderGroup, message, identity.bytes.data(),
                             &identity.length, model.bytes.data(), &model.length, &mode,
                             &loaderFlag, &subChannels, panelControl, hardware.bytes.data(),
                             &hardware.length, revisions.bytes.data(), &revisions.length);
    answer.identity = identity.text();
    answer.model = model.text();
    answer.hardwareRevision = hardware.text();
    answer.revisions = revisions.text();
    answer.amplifierMode = mode;
    answer.loaderFlag = loaderFlag;
    answer.subChannelCount = subChannels;
    return answer;
}

}  // namespace quorvel
