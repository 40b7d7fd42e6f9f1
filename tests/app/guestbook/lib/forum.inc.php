<?php
/*
 * Topics and their replies, kept in forum.dat as
 *   array('next_id' => N, 'topics' => array(id => Message, ...))
 * where each topic Message holds its replies, oldest first.
 */
class Message
{
    var $id;
    var $author;
    var $subject;
    var $body;
    var $time;
    var $replies;

    function Message($author, $subject, $body, $time)
    {
        $this->author = $author;
        $this->subject = $subject;
        $this->body = $body;
        $this->time = $time;
        $this->replies = array();
    }

    /* When the topic last changed: its own time or its newest reply's. */
    function lastActivity()
    {
        $last = $this->time;
        for ($i = 0; $i < count($this->replies); $i++) {
            $last = max($last, $this->replies[$i]->time);
        }
        return $last;
    }
}

class Forum
{
    var $store;
    var $data;

    function Forum($path)
    {
        $this->store = new FileStore($path, array('next_id' => 1, 'topics' => array()));
        $this->data = $this->store->load();
    }

    /* The topics on one page, most recently active first. */
    function topics($page, $per_page)
    {
        $list = array_values($this->data['topics']);
        usort($list, array('Forum', 'byActivity'));
        return array_slice($list, ($page - 1) * $per_page, $per_page);
    }

    function byActivity($a, $b)
    {
        $diff = $b->lastActivity() - $a->lastActivity();
        if ($diff == 0) {
            $diff = $b->id - $a->id;
        }
        return $diff;
    }

    function pageCount($per_page)
    {
        return max(1, (int)ceil(count($this->data['topics']) / $per_page));
    }

    function topic($id)
    {
        return isset($this->data['topics'][$id]) ? $this->data['topics'][$id] : null;
    }

    /* Stores a new topic and returns its id. */
    function addTopic($message)
    {
        $this->data = $this->store->lock();
        $message->id = $this->data['next_id']++;
        $this->data['topics'][$message->id] = $message;
        $this->store->commit($this->data);
        return $message->id;
    }

    /* Adds a reply; false when the topic has gone. */
    function addReply($topic_id, $message)
    {
        $this->data = $this->store->lock();
        if (!isset($this->data['topics'][$topic_id])) {
            $this->store->commit($this->data);
            return false;
        }
        $message->id = $this->data['next_id']++;
        $this->data['topics'][$topic_id]->replies[] = $message;
        $this->store->commit($this->data);
        return true;
    }

    function deleteTopic($id)
    {
        $this->data = $this->store->lock();
        $found = isset($this->data['topics'][$id]);
        unset($this->data['topics'][$id]);
        $this->store->commit($this->data);
        return $found;
    }

    /* array(topics, replies) */
    function totals()
    {
        $replies = 0;
        reset($this->data['topics']);
        while (list(, $topic) = each($this->data['topics'])) {
            $replies += count($topic->replies);
        }
        return array(count($this->data['topics']), $replies);
    }
}
?>
