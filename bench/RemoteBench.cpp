// Bytes on the wire per remote sector read and write, against the protocol's floor of 256
// sector bytes, and the time per sector through the simulated parallel port and a
// pseudo-terminal. With the whole-disk cache no sector crosses the wire twice.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "RemoteRig.h"
#include "base/PcFile.h"
#include "remote/RemoteDriveSource.h"
#include "support/ImageBuilder.h"

using namespace tavik;
using namespace tavik::test;

namespace {

struct Figures {
    double sentPerRead, receivedPerRead, sentPerWrite, receivedPerWrite, msPerSector;
    int cableReadsOnSecondPass;
};

Figures Measure(Transport transport, bool saveVdp, const std::string& folder, int sectors) {
    const std::string image = folder + "/bench.dsk";
    WriteWholeFile(image, CImageBuilder(360).Image());
    CRemoteRig rig(transport, folder, 2000);
    VirtualCard card;
    card.drives[1].imagePath = image;
    rig.vti.AddCard(card);
    rig.ti.Link().Open(false);
    CRemoteDriveSource source(rig.ti);
    CVirtualDrive drive;
    drive.m_remoteSaveVdp = saveVdp;
    drive.MountRemote(1, &source);
    CLinkPort& link = rig.ti.Link();
    uint8_t sector[256];
    Figures f{};

    uint64_t sent = link.BytesSent(), received = link.BytesReceived();
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < sectors; ++n)
        drive.ReadSector(n, sector);
    const auto took = std::chrono::steady_clock::now() - start;
    f.sentPerRead = double(link.BytesSent() - sent) / sectors;
    f.receivedPerRead = double(link.BytesReceived() - received) / sectors;
    f.msPerSector = std::chrono::duration<double, std::milli>(took).count() / sectors;

    const int calls = rig.WithTi([](CVirtualTi& ti) { return ti.SubroutineCalls(); });
    for (int n = 0; n < sectors; ++n)
        drive.ReadSector(n, sector);  // cache level 2
    f.cableReadsOnSecondPass =
        rig.WithTi([](CVirtualTi& ti) { return ti.SubroutineCalls(); }) - calls;

    sent = link.BytesSent();
    received = link.BytesReceived();
    for (int n = 0; n < sectors; ++n)
        drive.WriteSector(n, sector);
    f.sentPerWrite = double(link.BytesSent() - sent) / sectors;
    f.receivedPerWrite = double(link.BytesReceived() - received) / sectors;
    return f;
}

}  // namespace

int main() {
    std::error_code ec;
    const std::string folder = (std::filesystem::temp_directory_path() /
                                ("tavik-bench-remote-" + std::to_string(::getpid())))
                                   .string();
    std::filesystem::create_directories(folder, ec);
    std::printf("%-9s %-8s %10s %10s %10s %10s %9s %8s\n", "link", "VDP save", "read out",
                "read in", "write out", "write in", "ms/sector", "2nd pass");
    const struct {
        Transport transport;
        int sectors;
    } runs[] = {{Transport::Parallel, 360}, {Transport::Serial, 90}};
    for (const auto& run : runs) {
        for (bool save : {false, true}) {
            Figures f = Measure(run.transport, save, folder, run.sectors);
            std::printf("%-9s %-8s %10.1f %10.1f %10.1f %10.1f %9.3f %8d\n",
                        TransportName(run.transport), save ? "yes" : "no", f.sentPerRead,
                        f.receivedPerRead, f.sentPerWrite, f.receivedPerWrite, f.msPerSector,
                        f.cableReadsOnSecondPass);
        }
    }
    std::printf("floor: 256 sector bytes per read (in) and per write (out)\n");
    std::filesystem::remove_all(folder, ec);
    return 0;
}
