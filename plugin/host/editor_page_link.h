// What the filter object may ask of the editor page attached to it. The page
// attaches and detaches itself; the filter holds the link without counting a
// reference, and only on the thread that owns the page's window.
#pragma once

class EditorPageLink {
public:
    // The host's port lists changed: fill the page's port lists again.
    virtual void RefillPortLists() = 0;
    // A receive that was not aborted has ended: list the supported data again.
    virtual void RefreshDataList() = 0;
    // The filter is being destroyed. The link holds no reference, and a host
    // may release the filter before the page: the page must forget it.
    virtual void FilterGone() = 0;

protected:
    ~EditorPageLink() = default;
};
