// The result lists (model and view) live here.
