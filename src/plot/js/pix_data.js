// pix_data.js: part of the page-side plotting library (written next).
