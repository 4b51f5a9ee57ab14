#pragma once
// Ends a server loop from another thread or from a signal handler: request() only writes one
// byte to a pipe, which is safe in both; the loop polls fd() next to its sockets.
namespace rack::sim {

class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void request() const;
    bool requested() const;
    int fd() const { return read_; }

private:
    int read_ = -1;
    int write_ = -1;
};

}  // namespace rack::sim
