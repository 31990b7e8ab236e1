// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/FolderGroups.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/UserText.h"
#include "search/MixBits.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace trevalo {

namespace {

// The class of an empty file in a folder's signature: it needs no copy, only its name.
constexpr std::int64_t kEmptyFile = -2;
// The class of a sub-folder in a folder's signature.
constexpr std::int64_t kSubFolder = -3;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "/a/b/" gives "/a/"; "/" gives "".
std::string parentOf(const std::string& folder) {
    if (folder.size() <= 1)
        return {};
    const std::size_t slash = folder.rfind('/', folder.size() - 2);
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

constexpr std::uint64_t kHashStart = 0xCBF29CE484222325ull;

std::uint64_t fnv1a(std::uint64_t h, std::string_view bytes) {
    for (const char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return h;
}

class FolderFinder {
public:
    explicit FolderFinder(const FolderGroupsInput& input)
        : in_(input), table_(*input.table), groups_(*input.groups) {}

    std::vector<ResultRow> run() {
        indexKnownFiles();
        // The deepest first: a folder that fails fails every folder above it unlisted.
        std::vector<std::pair<std::ptrdiff_t, const std::string*>> order;
        order.reserve(candidates_.size());
        for (const std::string& f : candidates_)
            order.emplace_back(-std::count(f.begin(), f.end(), '/'), &f);
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : *a.second < *b.second;
        });
        for (const auto& [depth, f] : order) {
            if (stopped())
                return {};
            evaluate(*f);
        }
        if (stopped())
            return {};
        std::vector<ResultRow> rows = identicalRows();
        std::vector<ResultRow> covered = coveredRows();
        for (ResultRow& r : covered)
            rows.push_back(std::move(r));
        return rows;
    }

private:
    struct Node {
        enum State : char { Unknown, Ok, Failed };
        State state = Unknown;
        FileStatus status;
        std::vector<std::uint32_t> files; // table indices of every file inside, at any depth
        std::vector<std::string> folders; // every sub-folder inside, relative, ending in "/"
        std::int64_t bytes = 0;
        bool kept = false;
        bool covered = false;
        // What the names and contents of its tree add up to, whatever order they come in: equal
        // trees have equal hashes (unequal ones almost never, and are told apart in full).
        std::uint64_t hash = 0;
    };
    using Signature = std::vector<std::pair<std::string, std::int64_t>>;

    bool stopped() {
        if (!stopped_ && in_.stop && in_.stop())
            stopped_ = true;
        return stopped_;
    }
    const FileEntry& entry(std::uint32_t i) const { return table_[i]; }
    std::int64_t groupOf(std::uint32_t i) const { return (*in_.groups)[i]; }
    std::uint64_t classOf(std::uint32_t i) const {
        return static_cast<std::uint64_t>(classKeyOf(i));
    }
    std::int64_t classKeyOf(std::uint32_t i) const {
        return entry(i).size == 0 ? kEmptyFile : groupOf(i);
    }

    // The highest search path folder over `folder`.
    const std::string* topOver(std::string_view folder) const {
        const std::string* found = nullptr;
        for (const std::string& top : in_.tops)
            if (startsWith(folder, top) && (!found || top.size() < found->size()))
                found = &top;
        return found;
    }

    // Files in a group or empty, by folder; folders that hold a file in a group, and every
    // folder above them up to the search path's folder, are the candidates.
    void indexKnownFiles() {
        for (std::size_t i = 0; i < table_.size(); ++i) {
            const FileEntry& e = table_[i];
            const bool grouped = groups_[i] >= 0;
            if (!grouped && !(e.size == 0 && e.reason == kReasonNone))
                continue;
            const std::string_view folder = e.path.folder();
            known_[folder].push_back(static_cast<std::uint32_t>(i));
            if (grouped) {
                members_[groups_[i]].push_back(static_cast<std::uint32_t>(i));
                if (candidates_.insert(std::string(folder)).second) {
                    const std::string* top = topOver(folder);
                    for (std::string f = parentOf(std::string(folder));
                         top && !f.empty() && startsWith(f, *top) && candidates_.insert(f).second;
                         f = parentOf(f)) {
                    }
                }
            }
        }
        for (auto& [folder, files] : known_)
            std::sort(files.begin(), files.end(), [&](std::uint32_t a, std::uint32_t b) {
                return entry(a).name() < entry(b).name();
            });
    }

    void fail(Node& n, const std::string& folder) {
        n.state = Node::Failed;
        n.files.clear();
        n.folders.clear();
        // Nothing above it holds only known files either.
        for (std::string f = parentOf(folder); !f.empty() && candidates_.count(f);
             f = parentOf(f)) {
            Node& above = nodes_[f];
            if (above.state != Node::Unknown)
                break;
            above.state = Node::Failed;
        }
    }

    // Lists the folder (ending in "/") and, in turn, its sub-folders: Ok when every entry is a
    // known file or a folder that is Ok.
    Node& evaluate(const std::string& folder) {
        Node& n = nodes_[folder];
        if (n.state != Node::Unknown)
            return n;
        n.state = Node::Failed; // while it is looked at
        const std::string path = withoutTrailingSlashes(folder);
        n.status = statPath(path, false);
        if (n.status.kind != FileKind::Directory) {
            fail(n, folder);
            return n;
        }
        DirListing listing(path);
        if (!listing.isOpen()) {
            fail(n, folder);
            return n;
        }
        const auto own = known_.find(std::string_view(folder));
        DirListing::Entry e;
        while (listing.next(e)) {
            DirListing::Type type = e.type;
            if (type == DirListing::Type::Unknown) {
                const FileKind kind = statPath(childPath(path, e.name), false).kind;
                type = kind == FileKind::Regular     ? DirListing::Type::Regular
                       : kind == FileKind::Directory ? DirListing::Type::Directory
                                                     : DirListing::Type::Other;
            }
            if (type == DirListing::Type::Regular && own != known_.end()) {
                const auto& files = own->second;
                const auto at = std::lower_bound(
                    files.begin(), files.end(), std::string_view(e.name),
                    [&](std::uint32_t i, std::string_view name) { return entry(i).name() < name; });
                if (at != files.end() && entry(*at).name() == e.name) {
                    n.files.push_back(*at);
                    n.hash += mixBits(fnv1a(kHashStart, e.name) ^ mixBits(classOf(*at)));
                    continue;
                }
            } else if (type == DirListing::Type::Directory) {
                const std::string child = folder + e.name + "/";
                Node& c = evaluate(child);
                if (c.state == Node::Ok) {
                    n.hash += mixBits(fnv1a(kHashStart, e.name + "/") ^ c.hash);
                    n.files.insert(n.files.end(), c.files.begin(), c.files.end());
                    n.folders.push_back(e.name + "/");
                    for (const std::string& f : c.folders)
                        n.folders.push_back(e.name + "/" + f);
                    continue;
                }
            }
            fail(n, folder);
            return n;
        }
        if (listing.error()) {
            fail(n, folder);
            return n;
        }
        n.state = Node::Ok;
        for (const std::uint32_t i : n.files) {
            n.bytes += entry(i).size;
            n.kept = n.kept || entry(i).kept;
        }
        return n;
    }

    Signature signatureOf(const std::string& folder, const Node& n) const {
        Signature sig;
        sig.reserve(n.files.size() + n.folders.size());
        for (const std::uint32_t i : n.files)
            sig.emplace_back(entry(i).path.str().substr(folder.size()), classKeyOf(i));
        for (const std::string& f : n.folders)
            sig.emplace_back(f, kSubFolder);
        std::sort(sig.begin(), sig.end());
        return sig;
    }

    bool hasCopyOutside(std::uint32_t i, std::string_view folder) const {
        if (entry(i).size == 0)
            return true;
        const auto m = members_.find(groupOf(i));
        if (m == members_.end())
            return false;
        return std::any_of(m->second.begin(), m->second.end(), [&](std::uint32_t k) {
            return !startsWith(entry(k).path.folder(), folder);
        });
    }

    bool parentCovered(const std::string& folder) const {
        const auto p = nodes_.find(parentOf(folder));
        return p != nodes_.end() && p->second.state == Node::Ok && p->second.covered;
    }

    ResultRow rowOf(const std::string& folder, const Node& n, FolderClaim claim) const {
        ResultRow row = makeEntryRow(withoutTrailingSlashes(folder), n.status, RowTarget::Folder);
        row.size = n.bytes;
        row.kept = n.kept;
        claim.files = static_cast<std::int64_t>(n.files.size());
        claim.folders = n.folders;
        std::sort(claim.folders.begin(), claim.folders.end());
        std::sort(
            claim.items.begin(), claim.items.end(),
            [](const FolderClaim::Item& a, const FolderClaim::Item& b) { return a.path < b.path; });
        row.setReason(folderRowText(claim));
        row.setClaim(std::make_shared<const FolderClaim>(std::move(claim)));
        return row;
    }

    // The claim of an identical folder: each file's copy is the file of the same name in the
    // twin folder.
    FolderClaim claimOfTwins(const std::string& folder, const std::string& twin) {
        FolderClaim claim;
        claim.identical = true;
        claim.copiesIn = twin;
        std::unordered_map<std::string, std::uint32_t> twinFiles;
        for (const std::uint32_t i : nodes_[twin].files)
            twinFiles.emplace(entry(i).path.str().substr(twin.size()), i);
        for (const std::uint32_t i : nodes_[folder].files) {
            const std::string path = entry(i).path.str();
            const std::uint32_t copy = twinFiles.at(path.substr(folder.size()));
            claim.items.push_back({path, entry(i).stamp,
                                   entry(i).size == 0 ? std::string() : entry(copy).path.str(),
                                   entry(copy).stamp});
        }
        return claim;
    }

    // Groups of folders with equal signatures, the largest first.
    std::vector<ResultRow> identicalRows() {
        std::map<std::pair<std::uint64_t, std::int64_t>, std::vector<const std::string*>> buckets;
        std::unordered_map<const std::string*, Signature> sigs;
        for (auto& [key, n] : nodes_) {
            if (n.state != Node::Ok)
                continue;
            const std::string& folder = key;
            n.covered = n.bytes > 0 &&
                        std::all_of(n.files.begin(), n.files.end(),
                                    [&](std::uint32_t i) { return hasCopyOutside(i, folder); });
            if (!n.covered)
                continue;
            buckets[{n.hash, n.bytes}].push_back(&folder);
        }
        // Folders of one bucket are told apart by their whole signatures.
        for (const auto& [key, folders] : buckets)
            if (folders.size() > 1)
                for (const std::string* f : folders)
                    sigs.emplace(f, signatureOf(*f, nodes_.at(*f)));
        struct Group {
            std::vector<const std::string*> folders;
            std::int64_t bytes = 0;
        };
        std::vector<Group> groups;
        for (auto& [key, folders] : buckets) {
            std::sort(folders.begin(), folders.end(),
                      [](const std::string* a, const std::string* b) { return *a < *b; });
            std::vector<bool> taken(folders.size(), false);
            for (std::size_t a = 0; a < folders.size(); ++a) {
                if (taken[a])
                    continue;
                Group g{{folders[a]}, key.second};
                for (std::size_t b = a + 1; b < folders.size(); ++b)
                    if (!taken[b] && sigs[folders[b]] == sigs[folders[a]]) {
                        taken[b] = true;
                        g.folders.push_back(folders[b]);
                    }
                if (g.folders.size() > 1)
                    groups.push_back(std::move(g));
            }
        }
        for (const Group& g : groups)
            for (const std::string* f : g.folders)
                identical_.insert(*f);
        // A group inside folders that are listed whole says nothing new.
        std::erase_if(groups, [&](const Group& g) {
            return std::all_of(g.folders.begin(), g.folders.end(),
                               [&](const std::string* f) { return parentCovered(*f); });
        });
        std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
            return a.bytes != b.bytes ? a.bytes > b.bytes : *a.folders[0] < *b.folders[0];
        });
        std::vector<ResultRow> rows;
        std::int64_t key = 0;
        for (const Group& g : groups) {
            for (std::size_t k = 0; k < g.folders.size(); ++k) {
                const std::string& folder = *g.folders[k];
                const std::string& twin = *g.folders[(k + 1) % g.folders.size()];
                ResultRow row = rowOf(folder, nodes_[folder], claimOfTwins(folder, twin));
                row.group = key;
                rows.push_back(std::move(row));
            }
            ++key;
        }
        return rows;
    }

    // Folders whose every file has a copy outside, the highest of them, the largest first.
    std::vector<ResultRow> coveredRows() {
        std::vector<std::pair<const std::string*, const Node*>> listed;
        for (const auto& [folder, n] : nodes_)
            if (n.state == Node::Ok && n.covered && !identical_.count(folder) &&
                !parentCovered(folder))
                listed.emplace_back(&folder, &n);
        std::sort(listed.begin(), listed.end(), [](const auto& a, const auto& b) {
            return a.second->bytes != b.second->bytes ? a.second->bytes > b.second->bytes
                                                      : *a.first < *b.first;
        });
        std::vector<ResultRow> rows;
        for (const auto& [folder, n] : listed) {
            // The folder that holds a copy of the most files, at any depth (the deepest of
            // those), and not above this one; each file's copy is taken there when it has one.
            std::unordered_map<std::string_view, std::int64_t> tally;
            for (const std::uint32_t i : n->files) {
                if (entry(i).size == 0)
                    continue;
                std::unordered_set<std::string_view> places;
                for (const std::uint32_t k : members_.at(groupOf(i))) {
                    const std::string_view copyFolder = entry(k).path.folder();
                    if (startsWith(copyFolder, *folder))
                        continue;
                    // Folders above the copy, up to one that holds this folder as well.
                    for (std::size_t end = copyFolder.size(); end > 0;) {
                        const std::string_view p = copyFolder.substr(0, end);
                        if (startsWith(*folder, p) || !places.insert(p).second || end == 1)
                            break;
                        const std::size_t slash = copyFolder.rfind('/', end - 2);
                        if (slash == std::string_view::npos)
                            break;
                        end = slash + 1;
                    }
                }
                for (const std::string_view p : places)
                    ++tally[p];
            }
            std::string_view place;
            std::int64_t most = 0;
            const auto depth = [](std::string_view p) {
                return std::count(p.begin(), p.end(), '/');
            };
            for (const auto& [p, count] : tally)
                if (count > most || (count == most && depth(p) > depth(place)) ||
                    (count == most && depth(p) == depth(place) && p < place)) {
                    place = p;
                    most = count;
                }
            FolderClaim claim;
            claim.copiesIn = std::string(place);
            for (const std::uint32_t i : n->files) {
                FolderClaim::Item item{entry(i).path.str(), entry(i).stamp, {}, {}};
                if (entry(i).size > 0) {
                    std::uint32_t copy = 0;
                    bool found = false;
                    for (const std::uint32_t k : members_.at(groupOf(i))) {
                        if (startsWith(entry(k).path.folder(), *folder))
                            continue;
                        const bool there = startsWith(entry(k).path.folder(), place);
                        if (!found || there) {
                            copy = k;
                            found = true;
                        }
                        if (there)
                            break;
                    }
                    item.copyPath = entry(copy).path.str();
                    item.copyStamp = entry(copy).stamp;
                }
                claim.items.push_back(std::move(item));
            }
            rows.push_back(rowOf(*folder, *n, std::move(claim)));
        }
        return rows;
    }

    const FolderGroupsInput& in_;
    const FileTable& table_;
    const std::vector<std::int64_t>& groups_;
    bool stopped_ = false;
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> known_;
    std::unordered_map<std::int64_t, std::vector<std::uint32_t>> members_;
    std::unordered_set<std::string> candidates_;
    std::unordered_map<std::string, Node> nodes_;
    std::unordered_set<std::string> identical_;
};

} // namespace

std::string folderRowText(const FolderClaim& claim) {
    const bool allThere =
        std::all_of(claim.items.begin(), claim.items.end(), [&](const FolderClaim::Item& item) {
            return item.copyPath.empty() || startsWith(item.copyPath, claim.copiesIn);
        });
    if (claim.identical)
        return withArgs(userText("FolderGroups", "%n files, the same as %1", nullptr, claim.files),
                        {claim.copiesIn});
    if (allThere)
        return withArgs(
            userText("FolderGroups", "%n files, every one with a copy in %1", nullptr, claim.files),
            {claim.copiesIn});
    return withArgs(userText("FolderGroups", "%n files, every one with a copy; most in %1", nullptr,
                             claim.files),
                    {claim.copiesIn});
}

std::vector<ResultRow> findFolderRows(const FolderGroupsInput& input) {
    if (!input.table || !input.groups || input.groups->size() != input.table->size())
        return {};
    return FolderFinder(input).run();
}

} // namespace trevalo
