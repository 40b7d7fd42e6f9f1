<?php
/*
 * FileStore keeps one PHP value, serialized, in one file.
 *
 * Readers take a shared lock. A change is made under one exclusive lock
 * from reading to writing (lock() ... commit()), so two requests changing
 * the data at the same time cannot lose each other's work.
 */
class FileStore
{
    var $path;
    var $empty;     // the value while the file does not exist
    var $handle;    // the locked file between lock() and commit()

    function FileStore($path, $empty)
    {
        $this->path = $path;
        $this->empty = $empty;
        $this->handle = false;
    }

    function load()
    {
        if (!file_exists($this->path)) {
            return $this->empty;
        }
        $fp = fopen($this->path, 'rb');
        if (!$fp) {
            return $this->empty;
        }
        flock($fp, LOCK_SH);
        $text = $this->readAll($fp);
        flock($fp, LOCK_UN);
        fclose($fp);
        return $this->decode($text);
    }

    /* Locks the file for a change and returns what it holds. */
    function lock()
    {
        $this->handle = fopen($this->path, 'a+b');
        if (!$this->handle) {
            trigger_error('cannot open ' . basename($this->path) . ' for writing', E_USER_ERROR);
        }
        flock($this->handle, LOCK_EX);
        rewind($this->handle);
        return $this->decode($this->readAll($this->handle));
    }

    function commit($value)
    {
        ftruncate($this->handle, 0);
        fwrite($this->handle, serialize($value));
        fflush($this->handle);
        flock($this->handle, LOCK_UN);
        fclose($this->handle);
        $this->handle = false;
    }

    function readAll($fp)
    {
        $text = '';
        while (!feof($fp)) {
            $text .= fread($fp, 4096);
        }
        return $text;
    }

    function decode($text)
    {
        if ($text == '') {
            return $this->empty;
        }
        $value = @unserialize($text);
        if ($value === false) {
            trigger_error(basename($this->path) . ' is damaged; starting afresh', E_USER_WARNING);
            return $this->empty;
        }
        return $value;
    }
}
?>
