// A connection's state, shared by the thread that owns it (the window's
// user-interface thread, the runner) and its receive thread. Flags and the main socket are atomics; the peer records
// (client slots, addresses, the UDP sender list, the newest block) are read
// and written whole under PeerLock, through the functions below.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/connection_mode.h"
#include "connection/receive_listener.h"
#include "platform/lock.h"
#include "platform/message_box.h"
#include "platform/sockets.h"
#include "platform/worker_thread.h"

constexpr int kClientSlots = 10;
constexpr int kUdpPeerCapacity = 20;
constexpr int kReceiveBufferSize = 1024;
constexpr int kReceiveMax = 1023;  // the buffer always ends in a zero byte

enum PeerStateValue : int32_t { kNoPeer = 0, kTcpClientAttached = 1, kUdpDatagramArrived = 2 };

// A received block as the macro's READ sees it: its real length, zero bytes
// included.
struct ReceivedBlock {
    int32_t length = 0;
    uint8_t bytes[kReceiveBufferSize] = {};
};

// The blocks received since the macro last marked a point (its send, or a
// READ's start), kept so that a reply arriving before the READ line runs,
// or several blocks within one tick, are not missed. Records are the blocks
// that were longer than every block before them since the mark: the first
// block of at least n bytes is one of them, unless more than kReplyRecords
// ever longer blocks came, when the newest record gives way to a longer one.
constexpr int kReplyRecords = 16;
struct ReplyWatch {
    bool Any = false;  // a block arrived since the mark
    ReceivedBlock Latest;
    int32_t RecordCount = 0;
    ReceivedBlock Records[kReplyRecords];
};

// What an open takes from the settings, copied as it opens: the connection
// keeps to it while it is open, whatever the settings become meanwhile.
struct ConnectionSettings {
    ConnectionMode Mode = ConnectionMode::TcpClient;
    bool BindToAdapter = false;  // bind to the adapter's address and port (servers: else every address)
    Ipv4Endpoint Access;         // the access point: where a client connects or sends
    Ipv4Endpoint Adapter;        // the adapter: the local address and port
    int32_t WsaVersion = 3;      // the socket library version asked for
    // The group a UDP socket joins (a server always, a client when bound);
    // 0.0.0.0: none. A setting that is no group counts as none.
    Ipv4Address Group;
    int32_t MulticastTtl = 1;    // for sends to a group
};
ConnectionSettings ConnectionSettingsOf(const AppSettings& settings);

// The modeless "Connection" window shown while a TCP client connects.
class ConnectWaitIndicator {
public:
    virtual ~ConnectWaitIndicator() = default;
    virtual void Show(WindowHandle owner) = 0;
    virtual void Close() = 0;
};

// What one peer sent: blocks (datagrams) and bytes.
struct PeerCount {
    Ipv4Endpoint peer;
    uint64_t blocks = 0;
    uint64_t bytes = 0;
};
// Distinct peers counted; the blocks of more are summed in `OtherPeers`.
constexpr size_t kPeerCountCapacity = 1024;

struct ClientSlot {
    SocketHandle socket = kInvalidSocket;
    Ipv4Endpoint address;  // the client this slot serves
};

struct ConnectionState {
    std::atomic<bool> ConnectionActive{false};
    std::atomic<int32_t> PeerState{kNoPeer};
    std::atomic<SocketHandle> MainSocket{kInvalidSocket};
    std::atomic<int32_t> ClientsAccepted{0};  // by a TCP server since it opened, gone ones included
    ConnectionSettings Opened;  // what it was opened with; fixed while open
    bool GroupJoined = false;   // Opened.Group, by the owner's open until its close
    WorkerThread ReceiveThread;
    SocketLibraryInfo LibraryInfo;

    mutable Lock PeerLock;
    ClientSlot ClientSockets[kClientSlots];
    int32_t CurrentClient = 0;
    Ipv4Endpoint LastClientAddress;  // the client accepted or listed last
    Ipv4Endpoint LastPeerAddress;    // the sender of the newest datagram
    Ipv4Address UdpPeerList[kUdpPeerCapacity] = {};
    int32_t UdpPeerCount = 0;
    ReplyWatch Replies;
    bool CountPeers = false;  // the owner's, set before the open: keep PeerCounts
    std::vector<PeerCount> PeerCounts;  // in order of the first block
    PeerCount OtherPeers;

    // The owner's, set before the open: told of every block on the receive
    // thread (the reply rules). None: nobody is told.
    ReceiveListener* Listener = nullptr;
    // Guarded by the trace's lock (a TraceSendHold), so that the owner's send
    // and the receive side's replies never interleave on one TCP stream: the
    // stream (a client's slot, kClientSlots the main socket) that the owner's
    // send is partway through, and the bytes of replies waiting per stream.
    int32_t OwnerStream = -1;
    int32_t RepliesQueued[kClientSlots + 1] = {};

    ConnectWaitIndicator* WaitIndicator = nullptr;  // the owner's; none: nothing is shown
    // The owner's: asked while a connect or a send waits; true ends the wait
    // (the runner's time limit, a request to stop). None: the wait lasts
    // until the system ends it.
    std::function<bool()> GiveUp;
};

inline bool IsConnectionActive(const ConnectionState& state) { return state.ConnectionActive.load(); }

// The TCP stream a send to client `slot` goes on, as OwnerStream and
// RepliesQueued number them: a TCP server's client slot, kClientSlots for a
// TCP client's socket; -1 for datagrams (which cannot interleave) and for a
// slot outside 0..9.
int32_t TcpStreamOf(const ConnectionState& state, int32_t slot);

// Client slots holding a socket; 0 unless the open connection is a server.
int ConnectedClientCount(const ConnectionState& state);
ClientSlot ClientSlotAt(const ConnectionState& state, int index);
void FreeAllClientSlots(ConnectionState& state);

Ipv4Endpoint LastPeer(const ConnectionState& state);
Ipv4Endpoint LastClient(const ConnectionState& state);
void SetLastClient(ConnectionState& state, const Ipv4Endpoint& address);

int32_t UdpPeers(const ConnectionState& state, Ipv4Address (&peers)[kUdpPeerCapacity]);
void ClearUdpPeers(ConnectionState& state);

// The receive threads note every received block (an empty datagram
// included); the caller holds PeerLock.
void NoteReceivedLocked(ConnectionState& state, const uint8_t* bytes, int32_t length);
// Counts a block from `peer` when the owner asked for counts; the caller
// holds PeerLock.
void CountPeerLocked(ConnectionState& state, const Ipv4Endpoint& peer, int32_t length);
// The counts so far (the peers in order of their first block, then the
// others, if any, with a zero address).
std::vector<PeerCount> PeerCountsOf(const ConnectionState& state);

// From now on only blocks received after this call count.
void MarkReceived(ConnectionState& state);
// The first block since the mark of at least `count` bytes; false if none.
bool FirstReceivedSince(const ConnectionState& state, int32_t count, ReceivedBlock& out);
// The newest block since the mark; false if none.
bool LatestReceivedSince(const ConnectionState& state, ReceivedBlock& out);
