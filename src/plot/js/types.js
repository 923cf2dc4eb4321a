// types.js: part of the page-side plotting library (written next).
