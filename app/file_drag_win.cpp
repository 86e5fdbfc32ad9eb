#include "app/file_drag_win.h"

#include <ole2.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "ui/com.h"

namespace tesmar {
namespace {

// The formats a drag image helper stores on the data object, kept as given.
struct StoredFormat {
  FORMATETC format;
  STGMEDIUM medium;
};

class FileDataObject final : public ui::ComObject<IDataObject, IID_IDataObject> {
 public:
  explicit FileDataObject(std::u16string path) : path_(std::move(path)) {}
  ~FileDataObject() override {
    for (auto& s : stored_) ReleaseStgMedium(&s.medium);
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (!f || !m) return E_INVALIDARG;
    if (StoredFormat* s = Stored(*f)) {
      // Stored formats are handed out as copies; the helper reads them during the drag.
      return CopyStored(*s, *m);
    }
    if (!(f->tymed & TYMED_HGLOBAL) || f->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
    HGLOBAL g = nullptr;
    const std::size_t chars = path_.size() + 1;
    if (f->cfFormat == CF_HDROP) {
      // DROPFILES, then the paths, each ended by a NUL, and one more NUL at the end.
      g = GlobalAlloc(GHND, sizeof(DROPFILES) + (chars + 1) * sizeof(wchar_t));
      if (!g) return E_OUTOFMEMORY;
      auto* drop = static_cast<DROPFILES*>(GlobalLock(g));
      drop->pFiles = sizeof(DROPFILES);
      drop->fWide = TRUE;
      std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path_.c_str(), chars * sizeof(wchar_t));
      GlobalUnlock(g);
    } else if (f->cfFormat == FileNameFormat()) {
      g = GlobalAlloc(GHND, chars * sizeof(wchar_t));
      if (!g) return E_OUTOFMEMORY;
      std::memcpy(GlobalLock(g), path_.c_str(), chars * sizeof(wchar_t));
      GlobalUnlock(g);
    } else {
      return DV_E_FORMATETC;
    }
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = g;
    m->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    if (!f) return E_INVALIDARG;
    if (Stored(*f)) return S_OK;
    if ((f->cfFormat == CF_HDROP || f->cfFormat == FileNameFormat()) && (f->tymed & TYMED_HGLOBAL)) return S_OK;
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* f, STGMEDIUM* m, BOOL release) override {
    if (!f || !m) return E_INVALIDARG;
    StoredFormat s{*f, {}};
    s.format.ptd = nullptr;
    if (release) {
      s.medium = *m;
    } else if (HRESULT hr = CopyStored(StoredFormat{*f, *m}, s.medium); FAILED(hr)) {
      return hr;
    }
    if (StoredFormat* old = Stored(*f)) {
      ReleaseStgMedium(&old->medium);
      *old = s;
    } else {
      stored_.push_back(s);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats = {
        {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
        {FileNameFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
    };
    for (const auto& s : stored_) formats.push_back(s.format);
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  static CLIPFORMAT FileNameFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_FILENAMEW)); }

  StoredFormat* Stored(const FORMATETC& f) {
    for (auto& s : stored_)
      if (s.format.cfFormat == f.cfFormat && s.format.dwAspect == f.dwAspect && (s.format.tymed & f.tymed)) return &s;
    return nullptr;
  }
  // A copy of a stored medium (global memory, or a stream or storage shared by reference).
  static HRESULT CopyStored(const StoredFormat& s, STGMEDIUM& out) {
    out = {};
    out.tymed = s.medium.tymed;
    switch (s.medium.tymed) {
      case TYMED_HGLOBAL: {
        const SIZE_T n = GlobalSize(s.medium.hGlobal);
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
        if (!g) return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(g), GlobalLock(s.medium.hGlobal), n);
        GlobalUnlock(s.medium.hGlobal);
        GlobalUnlock(g);
        out.hGlobal = g;
        return S_OK;
      }
      case TYMED_ISTREAM:
        out.pstm = s.medium.pstm;
        out.pstm->AddRef();
        return S_OK;
      case TYMED_ISTORAGE:
        out.pstg = s.medium.pstg;
        out.pstg->AddRef();
        return S_OK;
      default:
        return DV_E_TYMED;
    }
  }

  std::u16string path_;
  std::vector<StoredFormat> stored_;
};

class DropSource final : public ui::ComObject<IDropSource, IID_IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape || (keys & MK_RBUTTON)) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

IDataObject* NewFileDataObject(const std::u16string& path) { return new FileDataObject(path); }

DWORD DragFile(const std::u16string& path, HBITMAP image, SIZE imageSize) {
  const HRESULT ole = OleInitialize(nullptr);
  IDataObject* data = NewFileDataObject(path);
  IDropSource* source = new DropSource;
  if (image) {
    IDragSourceHelper* helper = nullptr;
    bool taken = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                   reinterpret_cast<void**>(&helper)))) {
      SHDRAGIMAGE drag{};
      drag.sizeDragImage = imageSize;
      drag.ptOffset = POINT{imageSize.cx / 2, imageSize.cy / 2};
      drag.hbmpDragImage = image;
      drag.crColorKey = CLR_NONE;
      taken = SUCCEEDED(helper->InitializeFromBitmap(&drag, data));
      helper->Release();
    }
    if (!taken) DeleteObject(image);
  }
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr = DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
  source->Release();
  data->Release();
  if (SUCCEEDED(ole)) OleUninitialize();
  return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

}  // namespace tesmar
