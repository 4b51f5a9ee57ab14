#pragma once
// The panel controller's on-chip bootstrap and the programs it is sent: a zero byte is answered
// with the identification byte, 32 bytes of first-stage loader follow, then the programming
// program behind its length in words; that program agrees a block size and writes checked
// blocks into flash until the closing bytes 0x00 0x20.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace rack::panel {

struct BootstrapSettings {
    uint8_t identification = 0xC5;
    std::set<int> refusedBlocks;  // blocks the programming program answers with an error
};

class C167Bootstrap {
  public:
    static constexpr size_t kFirstStageBytes = 32;

    enum class Stage {
        WaitZero,
        FirstStage,
        ProgramLength,
        Program,
        BlockSize,
        Header,
        Data,
        Check,
        Finished,
        Halted
    };

    C167Bootstrap(BootstrapSettings settings, std::vector<uint8_t>& flash);

    // Takes bytes from the line; returns what the controller answers.
    std::string take(std::string_view bytes);
    // The controller restarts (break pulse, rack reset): back to waiting for the zero byte.
    void restart();

    Stage stage() const { return stage_; }
    size_t blockSize() const { return blockSize_; }
    const std::vector<int>& writtenBlocks() const { return written_; }
    // How often the programming program was ended by the closing bytes.
    int closedRuns() const { return closedRuns_; }
    int restarts() const { return restarts_; }

  private:
    std::string takeByte(uint8_t byte);
    std::string onFirstStage();
    std::string onProgram();
    std::string onBlockSize();
    std::string onHeader();
    std::string onCheck();

    BootstrapSettings settings_;
    std::vector<uint8_t>& flash_;
    Stage stage_ = Stage::WaitZero;
    std::vector<uint8_t> pending_;
    size_t expected_ = 0;
    size_t blockSize_ = 0;
    int block_ = 0;
    bool emptyBlock_ = false;
    uint8_t headerSum_ = 0;
    std::vector<uint8_t> data_;
    std::vector<int> written_;
    int closedRuns_ = 0;
    int restarts_ = 0;
};

}  // namespace rack::panel
