// What the filter object tells the editor page attached to it. The filter
// calls these on whatever thread the host used (the thread of a transfer, of
// a port notification, of the last Release), so a page must not touch its
// windows here: it posts to its own window's thread and refreshes there.
// The filter holds the link without counting a reference and never calls it
// after the page has detached itself.
#pragma once

class EditorPageLink {
public:
    // The host's port lists changed.
    virtual void PortsChanged() = 0;
    // A receive that was not aborted has ended: the stored dumps changed.
    virtual void DataReceived() = 0;
    // The filter is being destroyed; a host may release it before the page,
    // which must then forget it, and return only once its own thread no
    // longer works on the filter. The filter holds its page lock meanwhile.
    virtual void FilterGone() = 0;

protected:
    ~EditorPageLink() = default;
};
