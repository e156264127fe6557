#pragma once
// Facts the engine derives from the identifier sets of a unit catalog, kept
// so that each pair of units is compared once however many files use both.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "UnitInterface.h"

namespace quorvel::detail {

class UnitFactsCache {
public:
    // Identifiers as they are stored in the sets, which outlive the cache.
    using Identifiers = std::vector<const std::u16string*>;

    // For each pair of distinct sets of ASets: the identifiers (helper and
    // operator pseudo-identifiers included, other facts not) both declare, sorted; pairs that share
    // nothing are left out. Safe to call from several threads; the vectors
    // stay valid while the cache lives.
    std::vector<const Identifiers*> SharedByPairs(const std::vector<const TIdentifierSet*>& ASets);

private:
    using Pair = std::pair<const TIdentifierSet*, const TIdentifierSet*>;
    struct PairHash {
        std::size_t operator()(const Pair& APair) const {
            return std::hash<const void*>()(APair.first) * 31 + std::hash<const void*>()(APair.second);
        }
    };

    // A set's identifiers by hash, sorted: pairs compare through these arrays
    // instead of hashing every identifier again for each pair. The hashes
    // apart and cut to 32 bits, so that a walk reads little memory; equal
    // hashes are told apart by the identifiers themselves.
    struct HashIndex {
        std::vector<std::uint32_t> Hashes;
        std::vector<const std::u16string*> Identifiers;  // of Hashes[k]
        // A bit for each hash's low bits, about eight bits a hash: most
        // hashes of one side are not among the other's, and one look at the
        // bits tells most of them so, where a walk or a search would step.
        std::vector<std::uint64_t> Bits;
        std::uint32_t Mask = 0;  // bits - 1
        bool MayHold(std::uint32_t AHash) const { return (Bits[(AHash & Mask) / 64] >> (AHash & 63) & 1) != 0; }
    };

    std::mutex FMutex;  // one lock per clause: a clause of n units asks for n(n-1)/2 pairs
    std::unordered_map<Pair, Identifiers, PairHash> FShared;
    std::unordered_map<const TIdentifierSet*, HashIndex> FIndexes;

    const Identifiers& Shared(const TIdentifierSet* ALeft, const TIdentifierSet* ARight);
    const HashIndex& Index(const TIdentifierSet* ASet);
};

}  // namespace quorvel::detail
