// The reader is a flat state machine over group-code/value pairs: a few section flags, the
// record of the entity being read and a group-code map per entity kind. Values are converted
// only where a state takes them, and text is decoded to UTF-16 only where it is stored.
#include "dxf/reader.h"

#include <exception>
#include <memory>

#include "base/path_parts.h"
#include "base/readonly_file.h"
#include "dxf/pair_scanner.h"
#include "dxf/reader_state.h"
#include "dxf/text_decode.h"

namespace tesmar {
namespace dxfread {

Word WordOf(std::string_view v) {
  struct Entry {
    std::string_view text;
    Word word;
  };
  static constexpr Entry kWords[] = {
      {"LINE", Word::Line},       {"VERTEX", Word::Vertex},   {"LWPOLYLINE", Word::LwPolyline}, {"TEXT", Word::Text},
      {"CIRCLE", Word::Circle},   {"ARC", Word::Arc},         {"INSERT", Word::Insert},         {"SEQEND", Word::SeqEnd},
      {"MTEXT", Word::MText},     {"ATTRIB", Word::Attrib},   {"POLYLINE", Word::Polyline},     {"DIMENSION", Word::Dimension},
      {"ELLIPSE", Word::Ellipse}, {"SPLINE", Word::Spline},   {"SOLID", Word::Solid},           {"LEADER", Word::Leader},
      {"3DFACE", Word::Face},     {"TABLE", Word::Table},     {"ENDTAB", Word::EndTab},         {"LAYER", Word::Layer},
      {"VIEW", Word::View},       {"BLOCK", Word::Block},     {"ENDBLK", Word::EndBlk},         {"ENDSEC", Word::EndSec},
      {"TRACE", Word::Trace},     {"POINT", Word::Point},     {"RAY", Word::Ray},               {"XLINE", Word::Xline},
      {"HATCH", Word::Hatch},     {"MLINE", Word::Mline},     {"MESH", Word::Mesh},             {"ACAD_TABLE", Word::AcadTable},
      {"ATTDEF", Word::Attdef},   {"MULTILEADER", Word::MultiLeader}, {"MLEADER", Word::MultiLeader},
      {"ACAD_PROXY_ENTITY", Word::ProxyEntity},
  };
  if (v.size() < 3 || v.size() > 17 || v[0] < '3' || v[0] > 'Z') return Word::Other;
  for (const Entry& e : kWords)
    if (e.text.size() == v.size() && e.text[0] == v[0] && e.text == v) return e.word;
  return Word::Other;
}

std::int16_t Reader::LayerColour(std::size_t layer) {
  if (layer >= layerColours_.size()) layerColours_.resize(layer + 1, kUnknownColour);
  if (layerColours_[layer] == kUnknownColour) layerColours_[layer] = GetLayerColor(m_, layers_.Text(layer));
  return static_cast<std::int16_t>(layerColours_[layer]);
}

void Reader::SectionPair(int code, std::string_view value) {
  w_ = code == 0 ? WordOf(value) : Word::Other;
  // Header variables: only $ACADVER is read.
  if (headerSeen_) {
    if (version_.empty()) {
      if (versionArmed_ && code == 1) {
        decode_.Assign(version_, value);
        versionArmed_ = false;
      } else if (code == 9 && value == "$ACADVER") {
        versionArmed_ = true;
      }
    }
  } else if (code == 2 && value == "HEADER") {
    headerSeen_ = true;
  }

  if (inLayerTable_) LayerTablePair(code, value);
  if (inViewTable_) ViewTablePair(code, value);
  if (afterTable_ && code == 2) {
    if (value == "LAYER") inLayerTable_ = true;
    else if (value == "VIEW") inViewTable_ = true;
  }

  bool sectionEnd = false;
  if (w_ == Word::Table) {
    afterTable_ = true;
  } else if (w_ == Word::EndBlk || w_ == Word::EndSec) {
    // The current entity ends first, while it still stands where it was read.
    if (cur_ != Kind::None) TakeEntityPair(code, value);
    EndVertexMode();
    if (w_ == Word::EndBlk) {
      inBlockBody_ = false;
    } else {
      inBlocks_ = inViewRecord_ = inViewTable_ = inBlockBody_ = inEntities_ = false;
    }
    sectionEnd = true;
  }

  if (inBlocks_ && inBlockHeader_) BlockHeaderPair(code);
  if (!sectionEnd && (inBlockBody_ || inEntities_)) EntityPair(code, value);

  if (w_ == Word::Block && inBlocks_) {
    m_.BlockAry.emplace_back();
    inBlockHeader_ = true;
  }
  if (code == 2) {
    if (value == "BLOCKS" && !inBlocks_) {
      inBlocks_ = true;
      inBlockHeader_ = false;
    } else if (value == "ENTITIES" && !inEntities_) {
      inEntities_ = true;
    }
  }
}

void Reader::LayerTablePair(int code, std::string_view value) {
  if (inLayerRecord_ && layerRecord_ >= 0 && static_cast<std::size_t>(layerRecord_) < m_.LayerAry.size()) {
    TLayer& layer = m_.LayerAry[static_cast<std::size_t>(layerRecord_)];
    switch (code) {
      case 2: decode_.Assign(layer.Name, value); break;
      case 6: layer.ltype = Ltype(); break;
      case 70:
        layer.code70 = Int();
        if (layer.code70 & 1) layer.visible = false;  // frozen
        break;
      case 62:
        layer.color = Int();
        if (layer.color < 0) layer.visible = false;  // off
        break;
      case 0: inLayerRecord_ = false; break;
      default: break;
    }
    layerColours_.clear();
  }
  if (w_ == Word::EndTab) {
    inLayerTable_ = inLayerRecord_ = afterTable_ = false;
  } else if (w_ == Word::Layer) {
    m_.LayerAry.emplace_back();
    layerRecord_ = static_cast<std::int32_t>(m_.LayerAry.size() - 1);
    inLayerRecord_ = true;
    layerColours_.clear();
  }
}

void Reader::ViewTablePair(int code, std::string_view value) {
  if (w_ == Word::View) {
    m_.ViewAry.emplace_back();
    inViewRecord_ = true;
    return;
  }
  if (w_ == Word::EndTab) {  // later tables have groups of the same numbers
    inViewTable_ = inViewRecord_ = false;
    return;
  }
  if (!inViewRecord_ || m_.ViewAry.empty()) return;
  TViewTbl& view = m_.ViewAry.back();
  switch (code) {
    case 2: decode_.Assign(view.name, value); break;
    case 10: view.center.x = Real(); break;
    case 20: view.center.y = Real(); break;
    case 40: view.height = Real(); break;
    case 41: view.width = Real(); break;
    case 70: view.code70 = Int(); break;
    default: break;
  }
}

void Reader::BlockHeaderPair(int code) {
  if (m_.BlockAry.empty()) return;
  TBlockBlk& block = m_.BlockAry.back();
  switch (code) {
    case 2:
      block.name = BlockName(v_);
      curBlockName_ = block.name;
      break;
    case 8: block.layer = Layer(); break;
    case 6: block.ltype = Ltype(); break;
    case 0:
      inBlockHeader_ = false;
      inBlockBody_ = true;
      break;
    default: Point(block.base, code, 10); break;
  }
}

void Reader::EntityPair(int code, std::string_view value) {
  if (cur_ != Kind::None) TakeEntityPair(code, value);
  if (vertexMode_) VertexModePair(code, value);
  if (code == 0) {
    const Kind kind = KindOf(w_);
    // An attribute definition shows its tag in the drawing only; in a block, the inserts'
    // attributes stand in for it.
    const bool definition = w_ == Word::Attdef && inBlockBody_;
    if (kind != Kind::None && !definition && (!inBlockBody_ || AllowedInBlock(kind))) Start(kind, value);
  }
}

void Reader::VertexModePair(int code, std::string_view value) {
  if (code == 0) {
    // VERTEX entities continue the polyline; SEQEND (or any other entity) ends it.
    if (w_ != Word::Vertex) EndVertexMode();
    return;
  }
  RecordTable<TLwpVer>& table = vertexInBlock_ ? blkVer_ : ver_;
  if (code == 10) {
    TLwpVer& v = table.Add();
    v.ihand = vertexIhand_;
    v.code10.x = Real();
    ++polyVertices_;
    return;
  }
  if (polyVertices_ == 0) return;
  TLwpVer& v = table.Back();
  switch (code) {
    case 20: v.code10.y = Real(); break;
    case 30: v.code10.z = Real(); break;
    case 42: v.code42 = Real(); break;
    case 40: v.code40 = static_cast<float>(Real()); break;
    case 41: v.code41 = static_cast<float>(Real()); break;
    default: break;
  }
}

void Reader::Finish() {
  if (m_.LayerAry.empty()) {
    TLayer zero;
    zero.Name = u"0";
    m_.LayerAry.push_back(std::move(zero));
  }
  blkLine_.MoveTo(m_.BlkLineAry);
  line_.MoveTo(m_.LineAry);
  blkCircle_.MoveTo(m_.BlkCircleAry);
  circle_.MoveTo(m_.CircleAry);
  blkArc_.MoveTo(m_.BlkArcAry);
  arc_.MoveTo(m_.ArcAry);
  blkLwp_.MoveTo(m_.BlkLwpAry);
  lwp_.MoveTo(m_.LwpAry);
  blkVer_.MoveTo(m_.BlkVerAry);
  ver_.MoveTo(m_.VerAry);
  blkText_.MoveTo(m_.BlkTextAry);
  text_.MoveTo(m_.TextAry);
  blkSolid_.MoveTo(m_.BlkSolidAry);
  solid_.MoveTo(m_.SolidAry);
  blkEllipse_.MoveTo(m_.BlkEllipseAry);
  ellipse_.MoveTo(m_.EllipseAry);
  entInsert_.MoveTo(m_.EntInsertAry);
  face_.MoveTo(m_.FaceAry);
  leader_.MoveTo(m_.LeaderAry);
  spline_.MoveTo(m_.SplineAry);
  dimension_.MoveTo(m_.DimensionAry);
  blkXline_.MoveTo(m_.BlkXlineAry);
  xline_.MoveTo(m_.XlineAry);
  hatch_.MoveTo(m_.HatchAry);
  mline_.MoveTo(m_.MlineAry);
  mesh_.MoveTo(m_.MeshAry);
  proxy_.MoveTo(m_.ProxyAry);
  m_.LayerAry.shrink_to_fit();
  m_.BlockAry.shrink_to_fit();
  m_.ViewAry.shrink_to_fit();
  if (!m_.BlkTextAry.empty()) DecodeUnicodeEscapes(m_.BlkTextAry);
  if (!m_.TextAry.empty()) DecodeUnicodeEscapes(m_.TextAry);
}

}  // namespace dxfread

namespace {

using dxfread::BadValue;
using dxfread::Reader;

void ReportFileFailure(IDxfReport* report, std::u16string_view message) {
  if (report && report->HasParentWindow()) report->ShowMessage(message, kDxfReportCaption);
}

}  // namespace

long long DxfProgressStep(unsigned long long fileSize) {
  const unsigned long long pairs = fileSize / 1024 * 65 + fileSize % 1024 * 65 / 1024;  // S*65 div 1024
  return static_cast<long long>(pairs / 50 + 1);
}

namespace {

// The read of a file whose opening gave `opened`; `scanner` (when Ok) stands at its first pair.
std::u16string ReadOpened(TDrawingModel& model, FileOpenResult opened, DxfPairScanner* scanner,
                          std::u16string_view fileName, IDxfProgress* progress, IDxfReport* report,
                          std::u16string& status, TextEncoding encoding) {
  status.clear();
  ClearAll(model);
  Reader reader(model, encoding);
  std::uint64_t size = 0;
  if (opened == FileOpenResult::Busy) {
    status = kDxfBusyStatus;
    ReportFileFailure(report, kDxfBusyMessage);
  } else if (opened == FileOpenResult::Failed || (opened == FileOpenResult::Ok && !scanner->File().Size(size))) {
    status = kDxfErrorStatus;
    ReportFileFailure(report, kDxfFailedMessage);
  } else if (opened == FileOpenResult::Ok) {
    if (progress) {
      progress->SetPosition(0);
      progress->SetMax(50);
    }
    const long long step = DxfProgressStep(size);
    long long t = 0;
    bool cancelled = false;
    DxfPair pair;  // views into the scanner's buffer, which must outlive the handlers below
    try {
      for (;;) {
        const auto r = scanner->Next(pair);
        if (r == DxfPairScanner::Result::End) break;
        ++t;
        if (progress && (t & 0xFFF) == 0 && progress->Cancelled()) {
          cancelled = true;
          break;
        }
        if (r == DxfPairScanner::Result::ReadError) {
          pair.code = pair.value = {};
          throw BadValue{};
        }
        if (progress && t % step == 0) progress->SetPosition(progress->Position() + 1);
        reader.Pair(pair.numeric ? pair.number : -999, pair.value);
      }
    } catch (const BadValue&) {
      const std::u16string code = reader.Decode()(pair.code), value = reader.Decode()(pair.value);
      const std::u16string first = IntToStr16(2 * t - 1), second = IntToStr16(2 * t);
      status = first + u":" + code + u"/" + second + u":" + value;
      if (report)
        report->ShowMessage(std::u16string(FileNamePart(fileName, u"/\\")) + u"\n" + first + kLineNumberLabel + code + u"\n" + second + kLineNumberLabel + value,
                            kDxfReportCaption);
    } catch (const std::exception&) {  // out of memory: the file cannot be read as a whole
      status = kDxfErrorStatus;
      ReportFileFailure(report, kDxfFailedMessage);
    }
    scanner->File().Close();
    if (cancelled) {
      ClearAll(model);
      status = kDxfCancelledStatus;
      if (progress) progress->SetPosition(0);
      return {};
    }
  }
  try {
    reader.Finish();
  } catch (const std::exception&) {
    ClearAll(model);
    model.LayerAry.resize(1);
    model.LayerAry[0].Name = u"0";
    status = kDxfErrorStatus;
    ReportFileFailure(report, kDxfFailedMessage);
  }
  if (progress) progress->SetPosition(0);
  return reader.Version();
}

}  // namespace

std::u16string ReadDxfFile(TDrawingModel& model, std::u16string_view fileName, IDxfProgress* progress,
                           IDxfReport* report, std::u16string& status, TextEncoding encoding) {
  const std::filesystem::path path = PathFromU16(fileName);
  ReadOnlyFile file;
  FileOpenResult opened = IsExistingFile(path) ? file.Open(path) : FileOpenResult::NotFound;
  std::unique_ptr<DxfPairScanner> scanner;
  if (opened == FileOpenResult::Ok) {
    try {
      scanner = std::make_unique<DxfPairScanner>(file);
    } catch (const std::exception&) {  // out of memory
      opened = FileOpenResult::Failed;
    }
  }
  return ReadOpened(model, opened, scanner.get(), fileName, progress, report, status, encoding);
}

std::u16string ReadDxfFile(TDrawingModel& model, DxfPairScanner& scanner, std::u16string_view fileName,
                           IDxfProgress* progress, IDxfReport* report, std::u16string& status, TextEncoding encoding) {
  return ReadOpened(model, FileOpenResult::Ok, &scanner, fileName, progress, report, status, encoding);
}

}  // namespace tesmar
