// Where the sector editor's moves lead: sector by sector or track by track on a disk, and data
// sector by data sector or cluster by cluster inside one file (the file's FDR counting as the
// position before its first data sector).
#pragma once

#include <vector>

#include "disk/DiskTypes.h"

namespace tavik {

class CVirtualDrive;

// Positions in a file besides the indexes of its data sectors.
constexpr int kFdrPosition = -1;  // the FDR itself is shown
constexpr int kOutsideFile = -2;  // the shown sector belongs neither to the file nor its FDR

// The first sector of the next / previous track: the next multiple of 9 (single density) or 18
// (double density) above the sector, at most `end` (1600, or the sectors of a larger disk); the
// previous multiple below it, at least 0.
int NextTrackStart(int sector, bool doubleDensity, int end = kMaxSectors);
int PreviousTrackStart(int sector, bool doubleDensity);

// Moves inside a file whose data sectors are `sectors` (in file order). Each takes the current
// position and gives the new one, the same position when the move goes nowhere: Next stops at
// the last data sector, Previous goes from the first data sector to the FDR and no further.
// From outside the file Next enters at the first data sector and Previous at the FDR.
int NextInFile(const std::vector<int>& sectors, int position);
int PreviousInFile(const std::vector<int>& sectors, int position);
// Cluster moves: on through the sectors while they follow each other by one, stopping at the
// first sector that starts a new run (or at the last sector). Backwards the move stops at the
// first sector of the run, the run before when already there, and the FDR before the first.
int NextClusterInFile(const std::vector<int>& sectors, int position);
int PreviousClusterInFile(const std::vector<int>& sectors, int position);

// The disk sector at a position: the FDR for kFdrPosition, -1 when there is none.
int SectorAtPosition(const std::vector<int>& sectors, int fdr, int position);
// The position of a disk sector: kFdrPosition for the FDR, kOutsideFile when not in the file.
int PositionOfSector(const std::vector<int>& sectors, int fdr, int sector);

// The data sectors of the file whose FDR is at `fdr`, in file order, through its cluster list
// (bounded as every cluster walk is). 0 with the drive's last error when the FDR cannot be read.
int ReadFileSectors(CVirtualDrive& drive, int fdr, std::vector<int>& sectors);

}  // namespace tavik
